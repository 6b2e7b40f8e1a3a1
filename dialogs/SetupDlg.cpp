#include "dialogs/SetupDlg.h"

#include "Cp932Text.h"
#include "resources/Dialogs.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace kivo {
namespace {

using namespace res;

void Exchange(QCheckBox *box, std::int32_t &value, bool save)
{
    if (save)
        value = box->isChecked() ? 1 : 0;
    else
        box->setChecked(value != 0);
}

} // namespace

CSetupDlg::CSetupDlg(const std::array<std::string, kDelimiterSetCount> &sets, QWidget *parent)
    : Dialog(parent, {kSetupWidth, kSetupHeight}, kSetupDialogPoints), m_sets(sets)
{
    setWindowTitle(ResourceText(kSetupTitle));
    BuildControls();
}

void CSetupDlg::BuildControls()
{
    const auto check = [this](const char *text, int id) {
        auto *box = new QCheckBox(ResourceText(text), this);
        SetControlId(box, id);
        return box;
    };

    m_delimiterBox = new QComboBox(this);
    SetControlId(m_delimiterBox, IDC_DELIMITERS);
    m_delimiterBox->setEditable(true);
    // A set typed and confirmed with Enter is not added to the list: the list is the nine sets.
    m_delimiterBox->setInsertPolicy(QComboBox::NoInsert);
    m_delimiterBox->setMaxVisibleItems(static_cast<int>(kDelimiterSetCount));
    auto *help = new QLabel(ResourceText(kSetupDelimiterHelp), this);
    help->setWordWrap(true);
    auto *delimiterGroup = new QGroupBox(ResourceText(kSetupDelimiterGroup), this);
    auto *delimiterLayout = new QVBoxLayout(delimiterGroup);
    delimiterLayout->addWidget(m_delimiterBox);
    delimiterLayout->addWidget(help);

    m_cmpCharBox = check(kSetupCmpChar, IDC_CMP_CHAR);
    m_cmpCaseBox = check(kSetupCmpCase, IDC_CMP_CASE);
    m_cmpZenBox = check(kSetupCmpZen, IDC_CMP_ZEN);
    m_cmpZenSpBox = check(kSetupCmpZenSp, IDC_CMP_ZEN_SP);
    m_cmpKanaBox = check(kSetupCmpKana, IDC_CMP_KANA);
    m_cmpPunctBox = check(kSetupCmpPunct, IDC_CMP_PUNCT);
    m_keepQuotesBox = check(kSetupKeepQuotes, IDC_KEEP_QUOTES);
    auto *ruleGroup = new QGroupBox(ResourceText(kSetupRuleGroup), this);
    auto *ruleLayout = new QVBoxLayout(ruleGroup);
    for (QCheckBox *box : {m_cmpCharBox, m_cmpCaseBox, m_cmpZenBox, m_cmpZenSpBox, m_cmpKanaBox,
                           m_cmpPunctBox, m_keepQuotesBox})
        ruleLayout->addWidget(box);

    m_viewFormatBox = new QComboBox(this);
    SetControlId(m_viewFormatBox, IDC_VIEW_FORMAT);
    m_viewLineBox = check(kSetupViewLine, IDC_VIEW_LINE);
    m_viewBarBox = check(kSetupViewBar, IDC_VIEW_BAR);
    m_viewMoveBox = check(kSetupViewMove, IDC_VIEW_MOVE);
    auto *viewGroup = new QGroupBox(ResourceText(kSetupViewGroup), this);
    auto *viewLayout = new QVBoxLayout(viewGroup);
    viewLayout->addWidget(m_viewFormatBox);
    viewLayout->addWidget(m_viewLineBox);
    viewLayout->addWidget(m_viewBarBox);
    viewLayout->addWidget(m_viewMoveBox);

    m_pdfHeadsBox = check(kSetupPdfHeads, IDC_PDF_HEADS);
    auto *readGroup = new QGroupBox(ResourceText(kSetupReadGroup), this);
    auto *readLayout = new QVBoxLayout(readGroup);
    readLayout->addWidget(m_pdfHeadsBox);
    m_restoreSessionBox = check(kSetupRestoreSession, IDC_RESTORE_SESSION);

    QPushButton *ok = NewOkButton();
    QPushButton *cancel = NewCancelButton();
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(ok);
    buttons->addWidget(cancel);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(delimiterGroup);
    layout->addWidget(ruleGroup);
    layout->addWidget(viewGroup);
    layout->addWidget(readGroup);
    layout->addWidget(m_restoreSessionBox);
    layout->addStretch(1);
    layout->addLayout(buttons);

    // The template's tab order.
    QWidget *order[] = {
        m_delimiterBox, m_cmpCharBox,  m_cmpCaseBox,    m_cmpZenBox,         m_cmpZenSpBox,
        m_cmpKanaBox,   m_cmpPunctBox, m_keepQuotesBox, m_viewFormatBox,     m_viewLineBox,
        m_viewBarBox,   m_viewMoveBox, m_pdfHeadsBox,   m_restoreSessionBox, ok,
        cancel};
    for (std::size_t i = 1; i < std::size(order); ++i)
        setTabOrder(order[i - 1], order[i]);

    // 1022 is offered only while full-width and half-width forms are told apart; 1026 only with
    // the sentence-by-sentence layout.
    connect(m_cmpZenBox, &QCheckBox::clicked, this,
            [this](bool checked) { m_cmpZenSpBox->setEnabled(!checked); });
    connect(m_viewFormatBox, &QComboBox::activated, this,
            [this](int row) { m_viewLineBox->setEnabled(row == 0); });

    ResizeToTemplate();
}

void CSetupDlg::DoDataExchange(bool save)
{
    // A greyed check box is read like any other: it keeps and returns its own state.
    Exchange(m_cmpCharBox, m_cmpChar, save);
    Exchange(m_cmpCaseBox, m_cmpCase, save);
    Exchange(m_cmpZenBox, m_cmpZen, save);
    Exchange(m_cmpZenSpBox, m_cmpZenSp, save);
    Exchange(m_cmpKanaBox, m_cmpKana, save);
    Exchange(m_cmpPunctBox, m_cmpPunct, save);
    Exchange(m_keepQuotesBox, m_keepQuotes, save);
    Exchange(m_viewLineBox, m_viewLine, save);
    Exchange(m_viewBarBox, m_viewBar, save);
    Exchange(m_viewMoveBox, m_viewMove, save);
    Exchange(m_pdfHeadsBox, m_pdfHeads, save);
    Exchange(m_restoreSessionBox, m_restoreSession, save);
    if (save) {
        m_delimiters = cp932text::Encode(m_delimiterBox->currentText());
        m_viewFormat = m_viewFormatBox->currentIndex();
    } else {
        m_delimiterBox->setEditText(cp932text::Decode(m_delimiters));
        m_viewFormatBox->setCurrentIndex(m_viewFormat);
    }
}

void CSetupDlg::OnInitDialog()
{
    Dialog::OnInitDialog();
    // Filling the list makes its first row current, which would replace the edit text.
    const QString text = m_delimiterBox->currentText();
    for (const std::string &set : m_sets)
        m_delimiterBox->addItem(cp932text::Decode(set));
    m_delimiterBox->setCurrentIndex(-1);
    m_delimiterBox->setEditText(text);

    m_viewFormatBox->addItem(ResourceText(kSetupViewAligned));
    m_viewFormatBox->addItem(ResourceText(kSetupViewUnchanged));
    // A row index that matches no row leaves the list without a selection.
    const bool known = m_viewFormat >= 0 && m_viewFormat < m_viewFormatBox->count();
    m_viewFormatBox->setCurrentIndex(known ? m_viewFormat : -1);

    m_cmpZenSpBox->setEnabled(m_cmpZen == 0);
    m_viewLineBox->setEnabled(m_viewFormat == static_cast<std::int32_t>(SentenceLayout::Aligned));
}

void CSetupDlg::LoadFrom(const RichOptions &options)
{
    m_delimiters = options.Sptr[0];
    m_cmpChar = options.CmpChar;
    m_cmpCase = options.CmpCase;
    m_cmpZen = options.CmpZen;
    m_cmpZenSp = options.CmpZenSp;
    m_cmpKana = options.CmpKana;
    m_cmpPunct = options.CmpPunct;
    m_keepQuotes = options.KeepQuotes;
    m_viewFormat = static_cast<std::int32_t>(options.ViewFormat);
    m_viewLine = options.ViewLine;
    m_viewBar = options.ViewBar;
    m_viewMove = options.ViewMove;
    m_pdfHeads = options.PdfHeads;
    m_restoreSession = options.RestoreSession != 0 ? 1 : 0;
}

bool CSetupDlg::StoreTo(RichOptions &options) const
{
    options.CmpChar = m_cmpChar;
    options.CmpCase = m_cmpCase;
    options.CmpZen = m_cmpZen;
    options.CmpZenSp = m_cmpZenSp;
    options.CmpKana = m_cmpKana;
    options.CmpPunct = m_cmpPunct;
    options.KeepQuotes = m_keepQuotes;
    options.ViewFormat = static_cast<SentenceLayout>(m_viewFormat);
    options.ViewLine = m_viewLine;
    options.ViewBar = m_viewBar;
    options.ViewMove = m_viewMove;
    options.PdfHeads = m_pdfHeads;
    options.RestoreSession = m_restoreSession;
    return options.SetCurrentDelimiters(m_delimiters);
}

SettingsChange RunComparisonSettings(RichOptions &options, QWidget *parent)
{
    CSetupDlg dialog(options.Sptr, parent);
    dialog.LoadFrom(options);
    if (dialog.exec() != QDialog::Accepted)
        return {};
    return {true, dialog.StoreTo(options)};
}

} // namespace kivo
