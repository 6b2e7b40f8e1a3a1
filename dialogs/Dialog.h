#pragma once

#include <QDialog>
#include <QSize>

class QFont;
class QPushButton;

namespace kivo {

/// A modal dialog built from a template: OnInitDialog runs once, just before the dialog is first
/// shown, and transfers the values into the controls through DoDataExchange; OK reads them back
/// through DoDataExchange before the dialog closes; Cancel (and Esc) reads nothing.
class Dialog : public QDialog {
    Q_OBJECT
public:
    /// templateSize: the template's size in dialog units; points: the template's font size.
    Dialog(QWidget *parent, QSize templateSize, int points);

    void setVisible(bool visible) override;
    void accept() override;

    /// The control with this template id; null when there is none.
    QWidget *Control(int id) const;

protected:
    /// Values to controls (save false) or controls to values (save true).
    virtual void DoDataExchange(bool save);
    /// Called once before the dialog is first shown; the base transfers the values into the
    /// controls.
    virtual void OnInitDialog();

    /// Marks widget as the control with this template id.
    static void SetControlId(QWidget *widget, int id);
    /// An OK push button, the default button.
    QPushButton *NewOkButton();
    /// A "ｷｬﾝｾﾙ" push button that closes the dialog without reading anything.
    QPushButton *NewCancelButton();
    /// Sizes the dialog to its template, or larger where the layout needs more room.
    void ResizeToTemplate();

private:
    QSize m_templateSize;
    bool m_initialised = false;
};

/// Pixels of a size in dialog units of a font: a horizontal unit is a quarter of the font's
/// average character width, a vertical one an eighth of its height.
QSize DialogUnitsToPixels(QSize units, const QFont &font);

/// The font of a settings dialog: the installed stand-in of the template face, at the template's
/// size or the platform's normal size, whichever is larger, so that the text stays readable.
QFont SettingsDialogFont(int points);

/// A resource text (UTF-8) as a QString.
QString ResourceText(const char *utf8);

} // namespace kivo
