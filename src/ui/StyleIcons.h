#pragma once

#include <QIcon>
#include <QString>
#include <QStringList>

// Vector icons for the tool-bar and list buttons, addressed by the same style
// lookup names the window layouts use. Every icon is painted with QPainter at
// the size and device pixel ratio asked for, so it stays sharp on HiDPI
// screens. Normal mode is light gray, Disabled is dimmer, Active and Selected
// are white. Names ending in "bordered" also get a faint rounded frame.
//
// Two names stand for buttons that carry no picture ("donetoolbutton" shows
// its own text, "transparentcirclebuttonstyle" is a blank spacer). They give
// an icon that paints nothing and reports isNull(), so a button holding it
// keeps its whole face for the text. An unknown name gives a default QIcon().
QIcon StyleIcon(const QString &styleLookup);

// True for every name StyleIcon knows, the two blank ones included.
bool HasStyleIcon(const QString &styleLookup);

// All known names.
QStringList StyleLookupNames();
