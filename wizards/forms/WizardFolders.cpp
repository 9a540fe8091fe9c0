#include "wizards/forms/WizardFolders.h"

#include <QDir>
#include <QFileInfo>

namespace WizardFolders {
namespace {
std::function<QString()>& documentFunction()
{
    static std::function<QString()> f;
    return f;
}
QString& lastFolder()
{
    static QString last;
    return last;
}
}

void setDocumentFolder(std::function<QString()> folder)
{
    documentFunction() = std::move(folder);
}

QString documentFolder()
{
    return documentFunction() ? documentFunction()() : QString();
}

QString browseStart()
{
    if (!lastFolder().isEmpty() && QFileInfo(lastFolder()).isDir())
        return lastFolder();
    const QString doc = documentFolder();
    return doc.isEmpty() ? QDir::homePath() : doc;
}

void chosen(const QString& file)
{
    if (!file.isEmpty())
        lastFolder() = QFileInfo(file).absolutePath();
}

void reset()
{
    lastFolder().clear();
}
}
