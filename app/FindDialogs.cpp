#include "app/FindDialogs.h"

#include "editor/EditorContract.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {
// The search flags the dialogs' option boxes stand for.
int optionFlags(const QCheckBox* matchCase, const QCheckBox* wholeWord, const QCheckBox* regExp,
                const QCheckBox* inSelection)
{
    return SearchFlags::Plain | (matchCase->isChecked() ? SearchFlags::MatchCase : 0)
        | (wholeWord->isChecked() ? SearchFlags::WholeWord : 0) | (regExp->isChecked() ? SearchFlags::RegExp : 0)
        | (inSelection->isChecked() ? SearchFlags::InSelection : 0);
}
}

FindDialog::FindDialog(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(tr("Find"));
    auto* grid = new QGridLayout(this);
    grid->addWidget(new QLabel(tr("Fi&nd what:")), 0, 0);
    m_text = new QLineEdit;
    m_text->setMaxLength(255);
    grid->addWidget(m_text, 0, 1);
    auto* find = new QPushButton(tr("&Find Next"));
    find->setDefault(true);
    auto* cancel = new QPushButton(tr("Cancel"));
    grid->addWidget(find, 0, 2);
    grid->addWidget(cancel, 1, 2);
    m_wholeWord = new QCheckBox(tr("Match &whole word only"));
    m_matchCase = new QCheckBox(tr("Match &case"));
    m_regExp = new QCheckBox(tr("Regular e&xpression"));
    m_inSelection = new QCheckBox(tr("In &selection"));
    grid->addWidget(m_wholeWord, 1, 0, 1, 2);
    grid->addWidget(m_matchCase, 2, 0, 1, 2);
    grid->addWidget(m_regExp, 3, 0, 1, 2);
    grid->addWidget(m_inSelection, 4, 0, 1, 2);
    auto* dir = new QGroupBox(tr("Direction"));
    auto* dirLayout = new QHBoxLayout(dir);
    m_up = new QRadioButton(tr("&Up"));
    m_down = new QRadioButton(tr("&Down"));
    m_down->setChecked(true);
    dirLayout->addWidget(m_up);
    dirLayout->addWidget(m_down);
    grid->addWidget(dir, 5, 0, 1, 2);
    connect(find, &QPushButton::clicked, this, &FindDialog::findNext);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_text, &QLineEdit::textEdited, this, &FindDialog::findTextEdited);
    // A changed option searches again as a changed text does.
    for (QCheckBox* box : {m_matchCase, m_wholeWord, m_regExp})
        connect(box, &QCheckBox::toggled, this, &FindDialog::findTextEdited);
}

QString FindDialog::findText() const { return m_text->text(); }
void FindDialog::setFindText(const QString& text) { m_text->setText(text); }

int FindDialog::searchFlags() const
{
    return optionFlags(m_matchCase, m_wholeWord, m_regExp, m_inSelection)
        | (m_up->isChecked() ? SearchFlags::Backward : 0);
}

void FindDialog::setSearchFlags(int flags)
{
    const QSignalBlocker a(m_matchCase), b(m_wholeWord), c(m_regExp);
    m_matchCase->setChecked(flags & SearchFlags::MatchCase);
    m_wholeWord->setChecked(flags & SearchFlags::WholeWord);
    m_regExp->setChecked(flags & SearchFlags::RegExp);
    m_inSelection->setChecked(flags & SearchFlags::InSelection);
    (flags & SearchFlags::Backward ? m_up : m_down)->setChecked(true);
}

ReplaceDialog::ReplaceDialog(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(tr("Replace"));
    auto* grid = new QGridLayout(this);
    grid->addWidget(new QLabel(tr("Fi&nd what:")), 0, 0);
    m_find = new QLineEdit;
    m_find->setMaxLength(255);
    grid->addWidget(m_find, 0, 1);
    grid->addWidget(new QLabel(tr("Re&place with:")), 1, 0);
    m_replace = new QLineEdit;
    m_replace->setMaxLength(255);
    grid->addWidget(m_replace, 1, 1);
    m_wholeWord = new QCheckBox(tr("Match &whole word only"));
    m_matchCase = new QCheckBox(tr("Match &case"));
    m_regExp = new QCheckBox(tr("Regular e&xpression"));
    m_inSelection = new QCheckBox(tr("In &selection"));
    grid->addWidget(m_wholeWord, 2, 0, 1, 2);
    grid->addWidget(m_matchCase, 3, 0, 1, 2);
    grid->addWidget(m_regExp, 4, 0, 1, 2);
    grid->addWidget(m_inSelection, 5, 0, 1, 2);
    auto* buttons = new QVBoxLayout;
    auto* findNext = new QPushButton(tr("&Find Next"));
    auto* replace = new QPushButton(tr("&Replace"));
    auto* replaceAll = new QPushButton(tr("Replace &All"));
    auto* cancel = new QPushButton(tr("Cancel"));
    buttons->addWidget(findNext);
    buttons->addWidget(replace);
    buttons->addWidget(replaceAll);
    buttons->addWidget(cancel);
    buttons->addStretch();
    grid->addLayout(buttons, 0, 2, 6, 1);
    connect(findNext, &QPushButton::clicked, this, &ReplaceDialog::findNext);
    connect(m_find, &QLineEdit::textEdited, this, &ReplaceDialog::findTextEdited);
    connect(replace, &QPushButton::clicked, this, &ReplaceDialog::replaceOne);
    connect(replaceAll, &QPushButton::clicked, this, &ReplaceDialog::replaceAll);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}

QString ReplaceDialog::findText() const { return m_find->text(); }
QString ReplaceDialog::replaceText() const { return m_replace->text(); }
bool ReplaceDialog::matchCase() const { return m_matchCase->isChecked(); }
bool ReplaceDialog::wholeWord() const { return m_wholeWord->isChecked(); }
void ReplaceDialog::setTexts(const QString& find, const QString& replace)
{
    m_find->setText(find);
    m_replace->setText(replace);
}
void ReplaceDialog::setMatchCase(bool on) { m_matchCase->setChecked(on); }
void ReplaceDialog::setWholeWord(bool on) { m_wholeWord->setChecked(on); }

int ReplaceDialog::searchFlags() const
{
    return optionFlags(m_matchCase, m_wholeWord, m_regExp, m_inSelection);
}

void ReplaceDialog::setSearchFlags(int flags)
{
    m_matchCase->setChecked(flags & SearchFlags::MatchCase);
    m_wholeWord->setChecked(flags & SearchFlags::WholeWord);
    m_regExp->setChecked(flags & SearchFlags::RegExp);
    m_inSelection->setChecked(flags & SearchFlags::InSelection);
}
