#pragma once

#include "ComparisonTable.h"
#include "dialogs/Dialog.h"

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QLineEdit;
class QRadioButton;

namespace kivo {

/// The options of the old/new comparison table: title, column heads (a preset or the user's
/// own), which text stands left, the remarks column, omission of unchanged rows and how changes
/// are marked. Works on its own copy of the options; the caller reads it after OK.
class CTableDlg : public Dialog {
public:
    explicit CTableDlg(QWidget *parent = nullptr);

    report::TableOptions m_options;

protected:
    void DoDataExchange(bool save) override;

private:
    void BuildControls();
    /// Shows the heads of the chosen row; only the user's own may be edited.
    void ShowHeadings(int row);

    QLineEdit *m_title = nullptr;
    QComboBox *m_headings = nullptr;
    QLineEdit *m_newHeading = nullptr;
    QLineEdit *m_oldHeading = nullptr;
    QRadioButton *m_newLeft = nullptr;
    QRadioButton *m_oldLeft = nullptr;
    QCheckBox *m_remarks = nullptr;
    QCheckBox *m_omitSame = nullptr;
    QRadioButton *m_underline = nullptr;
    QRadioButton *m_colours = nullptr;
    /// The user's own heads while a preset is shown.
    std::array<QString, 2> m_own;
};

/// Runs the dialog over parent on options; on OK copies its values back. Returns whether the
/// user chose OK.
bool RunTableOptions(report::TableOptions &options, QWidget *parent);

} // namespace kivo
