#pragma once

// The editor's artwork: SVG files compiled into the program as Qt resources
// (:/icons, :/tools, :/cursors, :/pictures), rendered at exact pixel sizes.
// Rendering goes through QSvgRenderer, so no image-format plugin is needed.

#include <QCursor>
#include <QIcon>
#include <QPixmap>
#include <QPoint>
#include <QSize>
#include <QString>

// Renders the SVG at `resourcePath` (e.g. ":/pictures/about.svg") to exactly `size` pixels,
// transparent where the picture draws nothing. Results are cached by path and size.
// A missing or unreadable file gives a null pixmap.
QPixmap ArtPixmap(const QString& resourcePath, QSize size);

// A tool-bar icon by name ("new", "open", "save", ... "view3d"), with a desaturated, faded
// rendering for the disabled state. An unknown name gives a null icon.
QIcon ArtIcon(const QString& name);

// One of the slice view's cursors: "Pen", "Dropper", "Fill", "Sphere", "Cube", "Circle",
// "Square" (case does not matter), 32 x 32, two colours, with its hot spot at the tool's tip
// or centre. An unknown name gives the arrow cursor.
QCursor ArtCursor(const QString& name);

// The hot spot of a cursor name, or (-1, -1) for an unknown name.
QPoint ArtCursorHotSpot(const QString& name);

// A tool slot picture, 64 x 48: "freehand", "square", "circle", "paint", "cube", "sphere",
// "fill" (case does not matter), coloured when `active`, greyed and flat otherwise.
// An unknown tool gives a null pixmap.
QPixmap ToolImage(const QString& tool, bool active);

// The application icon at the usual desktop sizes (16 to 256 pixels).
QIcon ArtAppIcon();
