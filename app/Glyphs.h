#pragma once

// The glyphs of the menus, the tool bar and the object menu: one image list
// drawn by the program itself, taken from the desktop's icon theme where it
// has the same picture.

#include <QIcon>

enum class TGlyph
{
    Open,
    Save,
    Print,
    Undo,
    Redo,
    Delete,
    Email,
    Wallpaper,
    Help,
};

QIcon GlyphIcon(TGlyph glyph);
