#pragma once

#include "RichOptions.h"
#include "dialogs/Dialog.h"

#include <cstdint>
#include <string>

class QCheckBox;
class QComboBox;

namespace kivo {

/// The comparison settings (dialog 135): the delimiter set, the comparison rules, the layout
/// switches and how files are read. Works on its own values; the caller fills them before the
/// dialog runs and reads them after OK.
class CSetupDlg : public Dialog {
    Q_OBJECT
public:
    /// sets: the nine delimiter sets listed in the delimiter box (Sptr1 ... Sptr9).
    explicit CSetupDlg(const std::array<std::string, kDelimiterSetCount> &sets,
                       QWidget *parent = nullptr);

    /// Copies the current set and the switches into the dialog's values.
    void LoadFrom(const RichOptions &options);
    /// Copies the switches back and makes the delimiter text the current set; returns whether
    /// the list of delimiter sets changed.
    bool StoreTo(RichOptions &options) const;

    // The dialog's values; 0 or 1 for the check boxes.
    std::int32_t m_cmpChar = 0;
    std::int32_t m_cmpCase = 0;
    std::int32_t m_cmpZen = 0;
    std::int32_t m_cmpZenSp = 0;
    std::int32_t m_cmpKana = 0;
    std::int32_t m_cmpPunct = 0;
    std::int32_t m_keepQuotes = 0;
    std::int32_t m_viewLine = 0;
    std::int32_t m_viewBar = 0;
    std::int32_t m_viewMove = 0;
    std::int32_t m_pdfHeads = 0;
    std::int32_t m_restoreSession = 1;
    /// The delimiter text, code page 932.
    std::string m_delimiters;
    /// The selected row of the layout list; -1 for none.
    std::int32_t m_viewFormat = -1;

protected:
    void DoDataExchange(bool save) override;
    void OnInitDialog() override;

private:
    void BuildControls();

    const std::array<std::string, kDelimiterSetCount> &m_sets;
    QComboBox *m_delimiterBox = nullptr;      // 1009
    QCheckBox *m_cmpCharBox = nullptr;        // 1071
    QCheckBox *m_cmpCaseBox = nullptr;        // 1021
    QCheckBox *m_cmpZenBox = nullptr;         // 1020
    QCheckBox *m_cmpZenSpBox = nullptr;       // 1022
    QCheckBox *m_cmpKanaBox = nullptr;        // 1072
    QCheckBox *m_cmpPunctBox = nullptr;       // 1073
    QCheckBox *m_keepQuotesBox = nullptr;     // 1074
    QComboBox *m_viewFormatBox = nullptr;     // 1025
    QCheckBox *m_viewLineBox = nullptr;       // 1026
    QCheckBox *m_viewBarBox = nullptr;        // 1027
    QCheckBox *m_viewMoveBox = nullptr;       // 1075
    QCheckBox *m_pdfHeadsBox = nullptr;       // 1076
    QCheckBox *m_restoreSessionBox = nullptr; // 1077
};

/// What the comparison settings command changed: whether the user chose OK (the value as a
/// bool), and whether the list of delimiter sets changed with it (the delimiter box then shows
/// it anew).
struct SettingsChange {
    bool accepted = false;
    bool delimitersChanged = false;
    explicit operator bool() const { return accepted; }
};

/// The comparison settings command: runs the dialog over parent on the options and, on OK,
/// copies its values back and makes its delimiter text the current set.
SettingsChange RunComparisonSettings(RichOptions &options, QWidget *parent);

} // namespace kivo
