#include "FontOption.h"

TFontOption::TFontOption()
{
    Font.setPointSize(8);
}

int TFontOption::StyleSum() const
{
    int style = FontStyleRegular;
    if (Font.bold())
        style += FontStyleBold;
    if (Font.italic())
        style += FontStyleItalic;
    if (Font.underline())
        style += FontStyleUnderline;
    if (Font.strikeOut())
        style += FontStyleStrikeout;
    return style;
}
