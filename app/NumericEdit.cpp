#include "NumericEdit.h"

#include "IntegerText.h"

#include <QLineEdit>
#include <QSlider>

void ApplyNumericEdit(QLineEdit& Edit, QSlider& TrackBar)
{
    if (Edit.text().trimmed().isEmpty())
        Edit.setText(QStringLiteral("0"));
    TrackBar.setValue(StrToInt(Edit.text()));
}
