#include "wizards/body/TfWizBody.h"

#include "app/AppInvoker.h"
#include "app/UiPrompter.h"
#include "tags/TagEngine.h"
#include "wizards/body/BodyPreview.h"
#include "wizards/image/MediaOpenDialog.h"
#include "wizards/forms/WizardFolders.h"
#include "render/HelpViewer.h"

#include <QDir>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QValidator>
#include <QToolButton>
#include <QVBoxLayout>

namespace {
void hint(QWidget* w, const QString& text)
{
    w->setToolTip(text);
    w->setStatusTip(text);
}

const int kSpinStep = 64;

// Keeps a colour field at six upper-case hexadecimal digits while the user
// types: a digit typed into a full field pushes out a leading zero, one
// removed brings a zero back in front.
class ColourValidator : public QValidator {
public:
    using QValidator::QValidator;
    State validate(QString& input, int& pos) const override
    {
        QString s = input.toUpper();
        for (QChar c : s)
            if (!c.isDigit() && (c < QLatin1Char('A') || c > QLatin1Char('F')))
                return Invalid;
        while (s.size() > 6 && s.startsWith(QLatin1Char('0'))) {
            s.remove(0, 1);
            pos = qMax(0, pos - 1);
        }
        if (s.size() > 6)
            return Invalid;
        pos += 6 - int(s.size());
        input = QString(6 - s.size(), QLatin1Char('0')) + s;
        pos = qBound(0, pos, 6);
        return Acceptable;
    }
};
} // namespace

TfWizBody::TfWizBody(TagEngine& engine, QWidget* parent)
    : WizardDialog(QStringLiteral("Velquist Body Wizard"), QStringLiteral("Body Wizard"), parent), m_engine(engine)
{
    setObjectName(QStringLiteral("fWizBody"));
    auto* layout = new QHBoxLayout(this);
    auto* left = new QVBoxLayout;

    auto* imageGroup = new QGroupBox(QStringLiteral("Background Image"));
    auto* il = new QVBoxLayout(imageGroup);
    tImage = new QLineEdit;
    il->addWidget(tImage);
    auto* imageButtons = new QHBoxLayout;
    btnBrowse = new QPushButton(QStringLiteral("&Browse ..."));
    hint(btnBrowse, QStringLiteral("Browse for an Image"));
    btnUpper = new QPushButton(QStringLiteral("&UpperCase"));
    hint(btnUpper, QStringLiteral("Change Image name to Uppercase"));
    btnLower = new QPushButton(QStringLiteral("&LowerCase"));
    hint(btnLower, QStringLiteral("Change Image name to Lowercase"));
    btnSlash = new QPushButton(QStringLiteral("Change &\\ to /"));
    hint(btnSlash, QStringLiteral("Change Slashes to Unix Type"));
    for (QPushButton* b : {btnBrowse, btnUpper, btnLower, btnSlash}) {
        b->setAutoDefault(false);
        imageButtons->addWidget(b);
    }
    il->addLayout(imageButtons);
    left->addWidget(imageGroup);

    auto* colorGrid = new QGridLayout;
    const char* const labels[5] = {"Background Color", "Text Color", "Link Color", "Visited Link Color",
                                   "Active Link Color"};
    const quint32 initial[5] = {0x000000, 0xFFFFFF, 0x00FFFF, 0x00FF00, 0x0000FF};
    auto* validator = new ColourValidator(this);
    for (int i = 0; i < 5; ++i) {
        auto* f = new QLineEdit(BodyTag::hex(initial[i]));
        f->setValidator(validator);
        hint(f, QStringLiteral("Enter a RGB Value"));
        m_fields[i] = f;
        f->installEventFilter(this);
        colorGrid->addWidget(new QLabel(QString::fromLatin1(labels[i])), i, 0);
        colorGrid->addWidget(f, i, 1);
        auto* arrows = new QVBoxLayout;
        arrows->setSpacing(0);
        for (int k = 0; k < 2; ++k) {
            auto* b = new QToolButton;
            b->setArrowType(k == 0 ? Qt::UpArrow : Qt::DownArrow);
            b->setFixedSize(18, 11);
            b->setAutoRepeat(true);
            // Not a Tab stop: Up and Down in the colour field step it too.
            b->setFocusPolicy(Qt::NoFocus);
            if (i != Background)
                hint(b, QStringLiteral("Click to Change RGB Value"));
            connect(b, &QToolButton::clicked, this,
                    [this, i, k] { AppInvoker::run([this, i, k] { spin(i, k == 0 ? kSpinStep : -kSpinStep); }); });
            m_spins[i][k] = b;
            arrows->addWidget(b);
        }
        colorGrid->addLayout(arrows, i, 2);
        // A field that is left shows its six digits and the preview follows it.
        connect(f, &QLineEdit::editingFinished, this, [this, f] {
            AppInvoker::run([this, f] {
                f->setText(BodyTag::hex(BodyTag::fromHex(f->text())));
                btnPreviewClick();
            });
        });
    }
    tBGCOLOR = m_fields[Background];
    tText = m_fields[Text];
    tLink = m_fields[Link];
    tVLink = m_fields[Visited];
    tALink = m_fields[Active];
    left->addLayout(colorGrid);

    Memo = new QPlainTextEdit;
    Memo->setReadOnly(true);
    Memo->setTabChangesFocus(true);
    Memo->setLineWrapMode(QPlainTextEdit::NoWrap);
    hint(Memo, QStringLiteral("The formatted BODY shown is shown here"));
    left->addWidget(Memo, 1);
    layout->addLayout(left, 3);

    auto* right = new QVBoxLayout;
    Preview = BodyPreview::create(this);
    hint(Preview->widget(), QStringLiteral("WWW preview of the body command."));
    Preview->widget()->setMinimumSize(260, 200);
    // The preview is for looking at: not a Tab stop.
    Preview->widget()->setFocusPolicy(Qt::NoFocus);
    right->addWidget(Preview->widget(), 1);
    auto* buttons = new QHBoxLayout;
    btnPreview = new QPushButton(QStringLiteral("&Preview"));
    btnPreview->setAutoDefault(false);
    OKBtn = new QPushButton(QStringLiteral("&Insert"));
    OKBtn->setDefault(true);
    hint(OKBtn, QStringLiteral("Paste BODY tag to document"));
    CancelBtn = new QPushButton(QStringLiteral("&Close"));
    HelpBtn = new QPushButton(QStringLiteral("Help"));
    HelpViewer::attach(HelpBtn, 100);
    for (QPushButton* b : {btnPreview, OKBtn, CancelBtn, HelpBtn})
        buttons->addWidget(b);
    right->addLayout(buttons);
    layout->addLayout(right, 2);

    connect(btnBrowse, &QPushButton::clicked, this, [this] { AppInvoker::run([this] { btnBrowseClick(); }); });
    connect(btnUpper, &QPushButton::clicked, this, [this] { tImage->setText(tImage->text().toUpper()); });
    connect(btnLower, &QPushButton::clicked, this, [this] { tImage->setText(tImage->text().toLower()); });
    connect(btnSlash, &QPushButton::clicked, this,
            [this] { tImage->setText(tImage->text().replace(QLatin1Char('\\'), QLatin1Char('/'))); });
    connect(tImage, &QLineEdit::textChanged, this, [this] { AppInvoker::run([this] { btnPreviewClick(); }); });
    connect(btnPreview, &QPushButton::clicked, this, [this] { AppInvoker::run([this] { btnPreviewClick(); }); });
    connect(OKBtn, &QPushButton::clicked, this, [this] { AppInvoker::run([this] { OKBtnClick(); }); });
    connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);
    btnPreviewClick();
    resize(720, 420);
}

BodyColors TfWizBody::colors() const
{
    BodyColors c;
    c.image = tImage->text();
    c.background = BodyTag::fromHex(tBGCOLOR->text());
    c.text = BodyTag::fromHex(tText->text());
    c.link = BodyTag::fromHex(tLink->text());
    c.visited = BodyTag::fromHex(tVLink->text());
    c.active = BodyTag::fromHex(tALink->text());
    return c;
}

void TfWizBody::spin(int field, int delta)
{
    QLineEdit* f = m_fields[field];
    f->setText(BodyTag::hex(BodyTag::step(BodyTag::fromHex(f->text()), delta)));
    btnPreviewClick();
}

void TfWizBody::btnPreviewClick()
{
    const QString text = BodyTag::sampleLines(colors()).join(QLatin1Char('\n'));
    Memo->setPlainText(text);
    // Relative image names are the document's, as in the page preview.
    const QString folder = WizardFolders::documentFolder();
    Preview->showPage(text, folder.isEmpty() ? QDir::currentPath() : folder);
}

void TfWizBody::btnBrowseClick()
{
    const QString name = MediaOpenDialog::getFile(this, WizardFolders::browseStart());
    WizardFolders::chosen(name);
    if (!name.isEmpty())
        tImage->setText(QDir::toNativeSeparators(name));
}

void TfWizBody::OKBtnClick()
{
    const QString tag = BodyTag::tag(colors());
    BodyTag::insert(m_engine, tag, [this] {
        return UiPrompter::instance().message(this, QStringLiteral("Replace existing Body Definition ?"),
                                              UiPrompter::Yes | UiPrompter::No, UiPrompter::Information)
            == UiPrompter::Yes;
    });
}

bool TfWizBody::eventFilter(QObject* watched, QEvent* e)
{
    if (e->type() == QEvent::KeyPress) {
        const auto* k = static_cast<QKeyEvent*>(e);
        for (int i = 0; i < 5; ++i) {
            if (watched == m_fields[i] && k->modifiers() == Qt::NoModifier
                && (k->key() == Qt::Key_Up || k->key() == Qt::Key_Down)) {
                m_spins[i][k->key() == Qt::Key_Up ? 0 : 1]->click();
                return true;
            }
        }
    }
    return WizardDialog::eventFilter(watched, e);
}

bool TfWizBody::event(QEvent* e)
{
    if (e->type() == QEvent::WindowActivate)
        AppInvoker::run([this] { btnPreviewClick(); });
    return WizardDialog::event(e);
}
