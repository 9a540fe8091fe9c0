#pragma once
// What the image browser learns of an image file: its properties and a
// preview decoded at the size it is shown, so a huge picture is never
// decoded whole.
#include <QImage>
#include <QString>

struct ImageInfo {
    int width = 0;
    int height = 0;
    int bitsPerPixel = 0;
    int planes = 0;
    qint64 colors = 0;
    QString fileType;
    QString compression;
    qint64 size = 0;  // bytes of the file

    // Reads the properties of path and decodes its picture scaled to fit a
    // square box of boxSize into *preview (when given). False, with the
    // reason in *error, for a file that is missing, not a picture, or
    // damaged.
    static bool query(const QString& path, int boxSize, ImageInfo* info, QImage* preview, QString* error);
    // The same, run on a thread of its own while the windows stay painted
    // (user input waits) and the mouse pointer shows that the user waits.
    static bool queryAway(const QString& path, int boxSize, ImageInfo* info, QImage* preview, QString* error);
};
