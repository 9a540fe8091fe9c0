#include "reuse/ProjectFile.h"

#include "app/ListFile.h"
#include "app/SafeFile.h"

bool ProjectFile::parse(const QStringList& lines, Project* project, int* errorLine)
{
    ProjectTree all;
    int previous = 0;
    for (int k = 0; k < lines.size(); ++k) {
        const QString& line = lines[k];
        int n = 0;
        while (n < line.size() && (line[n] == QLatin1Char('\t') || line[n] == QLatin1Char(' ')))
            ++n;
        // The title stands at the top however it is indented: a title saved
        // with leading blanks must not make its own file unreadable.
        if (k > 0 && n >= previous + 2) {
            if (errorLine)
                *errorLine = k + 1;
            return false;
        }
        const int level = k == 0 ? 1 : n <= previous ? n + 1 : previous + 1;
        all.append(line.mid(n), level);
        previous = level;
    }
    project->title.clear();
    if (!all.isEmpty()) {
        project->title = all.at(0).text;
        all.remove(0);
    }
    for (int i = 0; i < all.size(); ++i)
        all.setExpanded(i, all.hasChildren(i));
    project->tree = all;
    return true;
}

QStringList ProjectFile::format(const Project& project)
{
    QStringList out{project.title};
    out += project.tree.lines();
    return out;
}

bool ProjectFile::read(const QString& path, Project* project, QString* error)
{
    QStringList lines;
    if (!ListFile::read(path, &lines, error))
        return false;
    int line = 0;
    if (!parse(lines, project, &line)) {
        if (error)
            *error = QStringLiteral("Unable to read %1: line %2 is indented more than one level below the line "
                                    "before it.")
                         .arg(SafeFile::shown(path), QString::number(line));
        return false;
    }
    return true;
}

void ProjectFile::write(const QString& path, const Project& project)
{
    ListFile::write(path, format(project));
}
