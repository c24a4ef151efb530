#pragma once
// The gallery: pictures of the program for people to look at, made on demand rather than
// by the tests (which check what they draw but keep no pictures). Offscreen, with every
// clock at a fixed time, so that the same tree makes the same pictures.

#include <QImage>
#include <QString>
#include <QTime>

namespace gallery {

// Where the pictures go. With docsOnly set, only the pictures the README shows are kept,
// under the names they have in docs/.
struct Shelf
{
    enum Kind { Docs, Extra };

    QString folder;
    bool docsOnly = false;
    int failures = 0;

    void keep(const QImage &image, const QString &name, Kind kind = Extra);
};

// Every widget in each of its states, and the bars as the window stacks them.
void saveWidgetSheets(Shelf &shelf);
// The count grid, the colour menu and the scroll strip while it runs.
void saveToolPictures(Shelf &shelf);
// The main window in vertical and horizontal writing, its » panel and the reading dictionary.
void saveWindowPictures(Shelf &shelf);

// The time the clocks in the pictures show.
inline QTime shownTime()
{
    return QTime(10, 24, 0);
}

} // namespace gallery
