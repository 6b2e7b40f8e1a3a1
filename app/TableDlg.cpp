#include "app/TableDlg.h"

#include "resources/Dialogs.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace kivo {
namespace {

using namespace res;

QString FromUtf8(const std::string &text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

std::string ToUtf8(const QString &text)
{
    return text.toUtf8().toStdString();
}

constexpr int kOwnRow = static_cast<int>(report::TableHeadings::Own);

} // namespace

CTableDlg::CTableDlg(QWidget *parent)
    : Dialog(parent, {kTableWidth, kTableHeight}, kSetupDialogPoints)
{
    setWindowTitle(ResourceText(kTableDlgTitle));
    BuildControls();
}

void CTableDlg::BuildControls()
{
    const auto withId = [](auto *widget, int id) {
        SetControlId(widget, id);
        return widget;
    };
    m_title = withId(new QLineEdit(this), IDC_TABLE_TITLE);
    m_headings = withId(new QComboBox(this), IDC_TABLE_HEADINGS);
    for (const report::TableHeadings preset :
         {report::TableHeadings::Revision, report::TableHeadings::NewOld,
          report::TableHeadings::Draft}) {
        report::TableOptions options;
        options.headings = preset;
        const auto heads = report::NewOldHeadings(options);
        m_headings->addItem(FromUtf8(heads[0] + kTableHeadingJoin + heads[1]));
    }
    m_headings->addItem(ResourceText(kTableHeadingOwn));
    m_newHeading = withId(new QLineEdit(this), IDC_TABLE_NEW_HEADING);
    m_oldHeading = withId(new QLineEdit(this), IDC_TABLE_OLD_HEADING);

    auto *form = new QFormLayout;
    const auto label = [this](const char *text, QWidget *buddy) {
        auto *widget = new QLabel(ResourceText(text), this);
        widget->setBuddy(buddy);
        return widget;
    };
    form->addRow(label(kTableTitleLabel, m_title), m_title);
    form->addRow(label(kTableHeadingsLabel, m_headings), m_headings);
    form->addRow(label(kTableNewHeadingLabel, m_newHeading), m_newHeading);
    form->addRow(label(kTableOldHeadingLabel, m_oldHeading), m_oldHeading);

    m_newLeft = withId(new QRadioButton(ResourceText(kTableNewLeft), this), IDC_TABLE_NEW_LEFT);
    m_oldLeft = withId(new QRadioButton(ResourceText(kTableOldLeft), this), IDC_TABLE_OLD_LEFT);
    auto *columns = new QGroupBox(ResourceText(kTableColumnsGroup), this);
    auto *columnsLayout = new QVBoxLayout(columns);
    columnsLayout->addWidget(m_newLeft);
    columnsLayout->addWidget(m_oldLeft);
    auto *note = new QLabel(ResourceText(kTableNote), columns);
    note->setWordWrap(true);
    columnsLayout->addWidget(note);

    m_remarks = withId(new QCheckBox(ResourceText(kTableRemarksCheck), this), IDC_TABLE_REMARKS);
    m_omitSame =
        withId(new QCheckBox(ResourceText(kTableOmitSameCheck), this), IDC_TABLE_OMIT_SAME);

    m_underline =
        withId(new QRadioButton(ResourceText(kTableUnderline), this), IDC_TABLE_UNDERLINE);
    m_colours = withId(new QRadioButton(ResourceText(kTableColours), this), IDC_TABLE_COLOURS);
    auto *marks = new QGroupBox(ResourceText(kTableMarksGroup), this);
    auto *marksLayout = new QVBoxLayout(marks);
    marksLayout->addWidget(m_underline);
    marksLayout->addWidget(m_colours);

    QPushButton *ok = NewOkButton();
    QPushButton *cancel = NewCancelButton();
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(ok);
    buttons->addWidget(cancel);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(columns);
    layout->addWidget(m_remarks);
    layout->addWidget(m_omitSame);
    layout->addWidget(marks);
    layout->addStretch(1);
    layout->addLayout(buttons);

    connect(m_headings, &QComboBox::activated, this, [this](int row) { ShowHeadings(row); });
    ResizeToTemplate();
}

void CTableDlg::ShowHeadings(int row)
{
    const bool own = row == kOwnRow;
    if (m_newHeading->isEnabled()) // leaving the user's own heads: keep what was typed
        m_own = {m_newHeading->text(), m_oldHeading->text()};
    report::TableOptions shown;
    shown.headings = static_cast<report::TableHeadings>(row);
    const auto heads = report::NewOldHeadings(shown);
    m_newHeading->setText(own ? m_own[0] : FromUtf8(heads[0]));
    m_oldHeading->setText(own ? m_own[1] : FromUtf8(heads[1]));
    m_newHeading->setEnabled(own);
    m_oldHeading->setEnabled(own);
}

void CTableDlg::DoDataExchange(bool save)
{
    if (save) {
        m_options.title = ToUtf8(m_title->text());
        m_options.headings = static_cast<report::TableHeadings>(m_headings->currentIndex());
        if (m_newHeading->isEnabled())
            m_own = {m_newHeading->text(), m_oldHeading->text()};
        m_options.ownHeadings = {ToUtf8(m_own[0]), ToUtf8(m_own[1])};
        m_options.oldLeft = m_oldLeft->isChecked();
        m_options.remarks = m_remarks->isChecked();
        m_options.omitSame = m_omitSame->isChecked();
        m_options.colours = m_colours->isChecked();
        return;
    }
    m_title->setText(FromUtf8(m_options.title));
    m_own = {FromUtf8(m_options.ownHeadings[0]), FromUtf8(m_options.ownHeadings[1])};
    m_newHeading->setEnabled(false);
    m_headings->setCurrentIndex(static_cast<int>(m_options.headings));
    ShowHeadings(static_cast<int>(m_options.headings));
    (m_options.oldLeft ? m_oldLeft : m_newLeft)->setChecked(true);
    m_remarks->setChecked(m_options.remarks);
    m_omitSame->setChecked(m_options.omitSame);
    (m_options.colours ? m_colours : m_underline)->setChecked(true);
}

bool RunTableOptions(report::TableOptions &options, QWidget *parent)
{
    CTableDlg dialog(parent);
    dialog.m_options = options;
    if (dialog.exec() != QDialog::Accepted)
        return false;
    options = dialog.m_options;
    return true;
}

} // namespace kivo
