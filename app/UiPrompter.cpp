#include "app/UiPrompter.h"

#include "app/AppSettings.h"
#include "app/PathUtil.h"

#include <QApplication>
#include <QColorDialog>
#include <QFileDialog>
#include <QFontDatabase>
#include <QFontDialog>
#include <QFontInfo>
#include <climits>
#include <cstdlib>
#include <QInputDialog>
#include <QMessageBox>

namespace {
UiPrompter* g_prompter = nullptr;
}

UiPrompter& UiPrompter::instance()
{
    static DialogPrompter real;
    return g_prompter ? *g_prompter : real;
}

void UiPrompter::setInstance(UiPrompter* p)
{
    g_prompter = p;
}

int DialogPrompter::message(QWidget* parent, const QString& text, int buttons, Icon icon,
                            const QString& caption)
{
    QMessageBox box(parent);
    box.setWindowTitle(caption.isEmpty() ? AppSettings::kAppTitle : caption);
    box.setTextFormat(Qt::PlainText);
    box.setText(text);
    switch (icon) {
    case Information: box.setIcon(QMessageBox::Information); break;
    case Warning: box.setIcon(QMessageBox::Warning); break;
    case Question: box.setIcon(QMessageBox::Question); break;
    case Critical: box.setIcon(QMessageBox::Critical); break;
    }
    QMessageBox::StandardButtons sb;
    if (buttons & Yes) sb |= QMessageBox::Yes;
    if (buttons & No) sb |= QMessageBox::No;
    if (buttons & Ok) sb |= QMessageBox::Ok;
    if (buttons & Cancel) sb |= QMessageBox::Cancel;
    box.setStandardButtons(sb);
    if (buttons & Cancel)
        box.setEscapeButton(QMessageBox::Cancel);
    switch (box.exec()) {
    case QMessageBox::Yes: return Yes;
    case QMessageBox::No: return No;
    case QMessageBox::Ok: return Ok;
    default: return (buttons & Cancel) ? Cancel : (buttons & No) ? No : Ok;
    }
}

QStringList DialogPrompter::openFileNames(QWidget* parent, const QString& caption,
                                          const QString& dir, const QString& pipeFilter)
{
    return QFileDialog::getOpenFileNames(parent, caption, dir, PathUtil::qtFilter(pipeFilter));
}

QString DialogPrompter::openFileName(QWidget* parent, const QString& caption, const QString& dir,
                                     const QString& pipeFilter)
{
    return QFileDialog::getOpenFileName(parent, caption, dir, PathUtil::qtFilter(pipeFilter));
}

QString DialogPrompter::saveFileName(QWidget* parent, const QString& caption, const QString& dir,
                                     const QString& pipeFilter, const QString& defaultSuffix)
{
    QFileDialog dlg(parent, caption, dir, PathUtil::qtFilter(pipeFilter));
    dlg.setAcceptMode(QFileDialog::AcceptSave);
    dlg.setFileMode(QFileDialog::AnyFile);
    if (!defaultSuffix.isEmpty())
        dlg.setDefaultSuffix(defaultSuffix);
    if (dlg.exec() != QDialog::Accepted || dlg.selectedFiles().isEmpty())
        return QString();
    return dlg.selectedFiles().constFirst();
}

bool DialogPrompter::inputText(QWidget* parent, const QString& caption, const QString& prompt,
                               QString& value)
{
    bool ok = false;
    const QString v = QInputDialog::getText(parent, caption, prompt, QLineEdit::Normal, value, &ok);
    if (ok)
        value = v;
    return ok;
}

bool DialogPrompter::chooseColor(QWidget* parent, QColor& color)
{
    const QColor c = QColorDialog::getColor(color, parent);
    if (!c.isValid())
        return false;
    color = c;
    return true;
}

// The font with the name of its family's style that matches it ("Book",
// "Regular", ...): without one the font dialog falls back to the first style
// listed, which may be "Oblique".
static QFont withStyleName(QFont font)
{
    if (!font.styleName().isEmpty())
        return font;
    const QString family = QFontInfo(font).family();
    QString best;
    int bestDistance = INT_MAX;
    const bool slanted = font.style() != QFont::StyleNormal;
    for (const QString& style : QFontDatabase::styles(family)) {
        // Oblique counts as slanted, though the database calls only italic so.
        const QFont face = QFontDatabase::font(family, style, 12);
        if ((face.style() != QFont::StyleNormal) != slanted)
            continue;
        const int distance = std::abs(face.weight() - font.weight());
        if (distance < bestDistance) {
            bestDistance = distance;
            best = style;
        }
    }
    if (!best.isEmpty()) {
        font.setFamily(family);
        font.setStyleName(best);
    }
    return font;
}

bool DialogPrompter::chooseFont(QWidget* parent, QFont& font, bool fixedPitchOnly)
{
    bool ok = false;
    const QFont f = QFontDialog::getFont(&ok, withStyleName(font), parent, QString(),
                                         fixedPitchOnly ? QFontDialog::MonospacedFonts
                                                        : QFontDialog::FontDialogOptions());
    if (ok)
        font = f;
    return ok;
}

void DialogPrompter::beep()
{
    QApplication::beep();
}
