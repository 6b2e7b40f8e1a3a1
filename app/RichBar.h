#pragma once

#include <QToolBar>

class QComboBox;

namespace kivo {

class CommandActions;

/// The main toolbar: the buttons of toolbar 128 and, in place of its separator at position 10,
/// the delimiter box, a drop-down list of the nine delimiter sets.
class CRichBar : public QToolBar {
    Q_OBJECT
public:
    explicit CRichBar(QWidget *parent);

    /// Adds the buttons and the delimiter box; false when the toolbar resource is missing.
    bool LoadToolBar(CommandActions &commands, int toolbarId);

    QComboBox *DelimiterBox() const { return m_delimiterBox; }

private:
    QComboBox *m_delimiterBox;
};

} // namespace kivo
