#include "app/FindDialogs.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

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
    grid->addWidget(m_wholeWord, 1, 0, 1, 2);
    grid->addWidget(m_matchCase, 2, 0, 1, 2);
    auto* dir = new QGroupBox(tr("Direction"));
    auto* dirLayout = new QHBoxLayout(dir);
    auto* up = new QRadioButton(tr("&Up"));
    m_down = new QRadioButton(tr("&Down"));
    m_down->setChecked(true);
    dirLayout->addWidget(up);
    dirLayout->addWidget(m_down);
    grid->addWidget(dir, 3, 0, 1, 2);
    connect(find, &QPushButton::clicked, this, &FindDialog::findNext);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}

QString FindDialog::findText() const { return m_text->text(); }
void FindDialog::setFindText(const QString& text) { m_text->setText(text); }

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
    grid->addWidget(m_wholeWord, 2, 0, 1, 2);
    grid->addWidget(m_matchCase, 3, 0, 1, 2);
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
    grid->addLayout(buttons, 0, 2, 4, 1);
    // "Find Next" of the replace dialog does nothing.
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
