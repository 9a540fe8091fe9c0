#include "tools/TfTipOfTheDay.h"

#include "app/AppInvoker.h"
#include "app/AppPaths.h"
#include "app/AppSettings.h"
#include "app/ListFile.h"
#include "app/TMegaRegistry.h"
#include "tools/TipsFile.h"

#include <QApplication>
#include <QCheckBox>
#include <QFrame>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QPushButton>
#include <QRandomGenerator>
#include <QStyle>
#include <QVBoxLayout>

namespace {
TfTipOfTheDay::Runner& runner()
{
    static TfTipOfTheDay::Runner r = [](TfTipOfTheDay& d) { d.exec(); };
    return r;
}
} // namespace

void TfTipOfTheDay::setRunner(Runner r)
{
    runner() = r ? std::move(r) : Runner([](TfTipOfTheDay& d) { d.exec(); });
}

TfTipOfTheDay::TfTipOfTheDay(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint)
{
    setObjectName(QStringLiteral("TipOfTheDay"));
    setWindowTitle(QStringLiteral("Tip of the day"));
    auto* outer = new QVBoxLayout(this);

    auto* panel = new QFrame(this);
    panel->setFrameShape(QFrame::StyledPanel);
    panel->setAutoFillBackground(true);
    QPalette pal = panel->palette();
    pal.setColor(QPalette::Window, Qt::white);
    pal.setColor(QPalette::WindowText, Qt::black);
    panel->setPalette(pal);
    auto* row = new QHBoxLayout(panel);
    auto* bulb = new QLabel(panel);
    QIcon icon = QIcon::fromTheme(QStringLiteral("help-hint"),
                                  style()->standardIcon(QStyle::SP_MessageBoxInformation));
    bulb->setPixmap(icon.pixmap(48, 48));
    bulb->setAlignment(Qt::AlignTop);
    row->addWidget(bulb);
    auto* texts = new QVBoxLayout;
    lblHeading = new QLabel(QStringLiteral("Oops..."), panel);
    lblHeading->setTextFormat(Qt::PlainText);
    QFont big = lblHeading->font();
    big.setBold(true);
    big.setPointSizeF(big.pointSizeF() * 1.3);
    lblHeading->setFont(big);
    lblTip = new QLabel(QStringLiteral("Sorry, no tips are available. You can disable this message by unchecking "
                                       "\"Show Tips at Startup\" at the bottom of this dialog. Alternatively, "
                                       "re-install this program."),
                        panel);
    lblTip->setTextFormat(Qt::PlainText);
    lblTip->setWordWrap(true);
    lblTip->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    texts->addWidget(lblHeading);
    texts->addWidget(lblTip, 1);
    row->addLayout(texts, 1);
    panel->setFixedSize(420, 190);
    outer->addWidget(panel);

    auto* buttons = new QHBoxLayout;
    cbShowTips = new QCheckBox(QStringLiteral("Show Tips at Startup"), this);
    cbShowTips->setChecked(true);
    buttons->addWidget(cbShowTips);
    buttons->addStretch(1);
    btnPrevious = new QPushButton(QStringLiteral("Previous Tip"), this);
    btnNext = new QPushButton(QStringLiteral("Next Tip"), this);
    btnClose = new QPushButton(QStringLiteral("Close"), this);
    btnClose->setDefault(true);
    for (QPushButton* b : {btnPrevious, btnNext, btnClose})
        buttons->addWidget(b);
    outer->addLayout(buttons);
    outer->setSizeConstraint(QLayout::SetFixedSize);

    connect(btnNext, &QPushButton::clicked, this, &TfTipOfTheDay::NextTip);
    connect(btnPrevious, &QPushButton::clicked, this, &TfTipOfTheDay::PreviousTip);
    connect(btnClose, &QPushButton::clicked, this, &QDialog::accept);
}

bool TfTipOfTheDay::loadTips(const QString& path)
{
    m_tips.clear();
    const bool ok = ListFile::read(path, &m_tips, &m_loadError);
    btnNext->setEnabled(!m_tips.isEmpty());
    btnPrevious->setEnabled(!m_tips.isEmpty());
    return ok;
}

void TfTipOfTheDay::bClick(int step)
{
    const int n = int(m_tips.size());
    if (n == 0)
        return;
    m_index = ((m_index + step) % n + n) % n;
    const QString& line = m_tips.at(m_index);
    lblHeading->setText(TipsFile::heading(line));
    lblTip->setText(TipsFile::tipText(line));
}

void TfTipOfTheDay::DisplayTips(QWidget* parent, TMegaRegistry& settings)
{
    TfTipOfTheDay dialog(parent);
    // A missing or empty file leaves the dialog's own apology in place; one
    // that cannot be read is reported too.
    if (!dialog.loadTips(AppPaths::readableDataFile(QStringLiteral("TIPS.TXT"))))
        AppInvoker::report(dialog.loadError());
    if (!dialog.tips().isEmpty()) {
        dialog.setCurrentIndex(int(QRandomGenerator::global()->bounded(qint64(dialog.tips().size()))));
        dialog.NextTip();
    }
    dialog.cbShowTips->setChecked(true);
    runner()(dialog);
    if (!dialog.cbShowTips->isChecked())
        settings.WriteBool(AppSettings::kStart, QStringLiteral("Tips"), false);
}
