#include "app/RecoveryDialog.h"

#include "app/SafeFile.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QLabel>
#include <QListWidget>
#include <QLocale>
#include <QPushButton>
#include <QVBoxLayout>

namespace RecoveryDialog {

std::optional<QList<int>> choose(QWidget* parent, const QList<RecoveryEntry>& entries)
{
    QDialog dialog(parent);
    dialog.setObjectName(QStringLiteral("RecoveryDialog"));
    dialog.setWindowTitle(QStringLiteral("Recover Documents"));
    auto* layout = new QVBoxLayout(&dialog);
    auto* label = new QLabel(QStringLiteral("Velquist ended without saving these documents. "
                                            "Choose the ones to restore as modified windows:"),
                             &dialog);
    label->setWordWrap(true);
    layout->addWidget(label);
    auto* list = new QListWidget(&dialog);
    for (const RecoveryEntry& e : entries) {
        const QString name = e.path.isEmpty() ? e.caption + QStringLiteral(" (untitled)") : SafeFile::shown(e.path);
        auto* item = new QListWidgetItem(
            QStringLiteral("%1   %2").arg(name, QLocale().toString(e.time.toLocalTime(), QLocale::ShortFormat)), list);
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(Qt::Checked);
    }
    list->setMinimumWidth(480);
    layout->addWidget(list);
    auto* buttons = new QDialogButtonBox(&dialog);
    QPushButton* recover = buttons->addButton(QStringLiteral("&Recover"), QDialogButtonBox::AcceptRole);
    QPushButton* discard = buttons->addButton(QStringLiteral("&Discard"), QDialogButtonBox::DestructiveRole);
    buttons->addButton(QStringLiteral("Decide &Later"), QDialogButtonBox::RejectRole);
    recover->setDefault(true);
    layout->addWidget(buttons);
    bool discarded = false;
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    QObject::connect(discard, &QPushButton::clicked, &dialog, [&] {
        discarded = true;
        dialog.accept();
    });
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    QList<int> chosen;
    for (int i = 0; !discarded && i < list->count(); ++i) {
        if (list->item(i)->checkState() == Qt::Checked)
            chosen << i;
    }
    return chosen;
}

} // namespace RecoveryDialog
