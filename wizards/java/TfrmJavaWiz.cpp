#include "wizards/java/TfrmJavaWiz.h"

#include "app/AppInvoker.h"
#include "tags/TagEngine.h"
#include "wizards/forms/NumberField.h"
#include "render/HelpViewer.h"

#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

namespace {

void hint(QWidget* w, const QString& text)
{
    w->setToolTip(text);
    w->setStatusTip(text);
}

// A whole number of up to ten digits.
QDoubleSpinBox* numberField(double value)
{
    auto* s = new NumberField<QDoubleSpinBox>(value);
    s->setDecimals(0);
    s->setRange(0, 9999999999.0);
    s->setSingleStep(10);
    s->setValue(value);
    return s;
}

// A steaming cup, the applet language's picture.
QPixmap logo()
{
    QPixmap pm(64, 72);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(0xD0, 0x30, 0x20), 3));
    for (int x : {22, 32, 42}) {
        QPainterPath steam(QPointF(x, 30));
        steam.cubicTo(x - 8, 22, x + 8, 14, x, 4);
        p.drawPath(steam);
    }
    p.setPen(QPen(QColor(0x20, 0x40, 0x90), 3));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(QRectF(12, 36, 36, 24), 4, 10);
    p.drawEllipse(QRectF(44, 40, 12, 12));
    p.drawLine(6, 66, 58, 66);
    return pm;
}

} // namespace

TfrmJavaWiz::TfrmJavaWiz(TagEngine& engine, QWidget* parent)
    : WizardDialog(QStringLiteral("Velquist Java Wizard"), QStringLiteral("Java Wizard"), parent), m_engine(engine)
{
    setObjectName(QStringLiteral("frmJavaWiz"));
    auto* layout = new QHBoxLayout(this);
    auto* fields = new QVBoxLayout;

    auto* required = new QGroupBox(QStringLiteral("Required"));
    auto* rl = new QFormLayout(required);
    tCode = new QLineEdit(QStringLiteral("AppletFile"));
    hint(tCode, QStringLiteral("The file that contains the applet's compiled Applet subclass (required)"));
    tWidth = numberField(100);
    hint(tWidth, QStringLiteral("The initial width (in pixels) of the applet display area (required)"));
    tHeight = numberField(100);
    hint(tHeight, QStringLiteral("The initial height (in pixels) of the applet display area (required)"));
    tAlign = new QComboBox;
    tAlign->addItems(JavaAppletWriter::alignments());
    tAlign->setCurrentIndex(0);
    hint(tAlign, QStringLiteral("Specifies the alignment of the applet (required)"));
    rl->addRow(QStringLiteral("Code"), tCode);
    rl->addRow(QStringLiteral("Width"), tWidth);
    rl->addRow(QStringLiteral("Height"), tHeight);
    rl->addRow(QStringLiteral("Alignment"), tAlign);
    fields->addWidget(required);

    auto* optional = new QGroupBox(QStringLiteral("Optional"));
    auto* ol = new QFormLayout(optional);
    tCBase = new QLineEdit(QStringLiteral("CodeBaseURL"));
    hint(tCBase, QStringLiteral("Specifies the base URL of the applet (optional)"));
    tAlt = new QLineEdit(QStringLiteral("AlternateText"));
    hint(tAlt, QStringLiteral("Specifies the text that should be displayed if the browser cannot display Java "
                              "Applets (optional)"));
    tName = new QLineEdit(QStringLiteral("AppletInstanceName"));
    hint(tName, QStringLiteral("Specifies a name for the applet instance (optional)"));
    tVSpace = numberField(0);
    hint(tVSpace, QStringLiteral("Specify the space (in pixels) above and below the applet (optional)"));
    tHSpace = numberField(0);
    hint(tHSpace, QStringLiteral("Specify the space (in pixels) each side the applet (optional)"));
    ol->addRow(QStringLiteral("CodeBase"), tCBase);
    ol->addRow(QStringLiteral("Alternate"), tAlt);
    ol->addRow(QStringLiteral("Name"), tName);
    ol->addRow(QStringLiteral("Vertical Space"), tVSpace);
    ol->addRow(QStringLiteral("Horizontal Space"), tHSpace);
    fields->addWidget(optional);
    layout->addLayout(fields, 1);
    // Each text field shows its whole default.
    for (QLineEdit* e : {tCode, tCBase, tAlt, tName}) {
        const QMargins m = e->textMargins();
        e->setMinimumWidth(e->fontMetrics().horizontalAdvance(e->text() + QLatin1Char('M')) + m.left() + m.right()
                           + 2 * e->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, e) + 8);
    }

    auto* side = new QVBoxLayout;
    auto* picture = new QLabel;
    picture->setPixmap(logo());
    picture->setAlignment(Qt::AlignCenter);
    side->addWidget(picture);
    OKBtn = new QPushButton(QStringLiteral("To Document"));
    OKBtn->setDefault(true);
    CancelBtn = new QPushButton(QStringLiteral("Cancel"));
    HelpBtn = new QPushButton(QStringLiteral("Help"));
    HelpViewer::attach(HelpBtn, 100);
    side->addWidget(OKBtn);
    side->addWidget(CancelBtn);
    side->addWidget(HelpBtn);
    side->addStretch();
    layout->addLayout(side);
    connect(OKBtn, &QPushButton::clicked, this, [this] { AppInvoker::run([this] { OKBtnClick(); }); });
    connect(CancelBtn, &QPushButton::clicked, this, [this] { AppInvoker::run([this] { CancelBtnClick(); }); });
}

JavaAppletOptions TfrmJavaWiz::options() const
{
    JavaAppletOptions o;
    o.code = tCode->text();
    o.width = qint64(tWidth->value());
    o.height = qint64(tHeight->value());
    o.align = tAlign->currentText();
    o.codeBase = tCBase->text();
    o.alt = tAlt->text();
    o.name = tName->text();
    o.vspace = qint64(tVSpace->value());
    o.hspace = qint64(tHSpace->value());
    return o;
}

void TfrmJavaWiz::OKBtnClick()
{
    // A value still being typed counts as typed.
    for (QDoubleSpinBox* s : {tWidth, tHeight, tVSpace, tHSpace})
        s->interpretText();
    m_engine.InsertTagPair(JavaAppletWriter::tags(options()));
    accept();
}

void TfrmJavaWiz::CancelBtnClick()
{
    reject();
}
