#pragma once
// Project files (".vpr"): the title on the first line, then every item of
// the tree in display order, each indented by one tab per level below the
// top; CR LF after every line.
#include "reuse/ProjectTree.h"

#include <QString>

struct Project {
    QString title;
    ProjectTree tree;
};

class ProjectFile {
public:
    static inline const QString Filter = QStringLiteral("Velquist Project File (*.vpr)|*.vpr");

    // Reads lines into a project. Each line's leading tabs and blanks count
    // as its indentation n: the first line (the title) is at level 1; then,
    // with p the level of the line before, n <= p gives level n + 1 and
    // n = p + 1 level p + 1. A deeper
    // jump stops the reading: false, with *errorLine its number (from 1).
    // The first item becomes the title and leaves the tree with its sub items.
    static bool parse(const QStringList& lines, Project* project, int* errorLine);
    static QStringList format(const Project& project);

    // Reads a file; false with a message naming the file and the reason.
    static bool read(const QString& path, Project* project, QString* error);
    // Writes atomically; throws EFileError naming the file and the reason.
    static void write(const QString& path, const Project& project);
};
