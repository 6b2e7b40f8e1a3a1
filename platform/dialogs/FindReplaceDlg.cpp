#include "platform/dialogs/FindReplaceDlg.h"

#include "resources/Dialogs.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QVBoxLayout>

namespace kivo {
namespace {

QString Text(const char *utf8)
{
    return QString::fromUtf8(utf8);
}

} // namespace

FindReplaceDlg::FindReplaceDlg(Mode mode, QWidget *owner)
    : QDialog(owner), m_mode(mode), m_findWhat(new QLineEdit(this)),
      m_wholeWord(new QCheckBox(Text(res::kFindWholeWord), this)),
      m_matchCase(new QCheckBox(Text(res::kFindMatchCase), this)),
      m_findNext(new QPushButton(Text(res::kFindNextButton), this))
{
    const bool replace = mode == Mode::Replace;
    setWindowTitle(Text(replace ? res::kReplaceTitle : res::kFindTitle));
    setModal(false);
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    setSizeGripEnabled(false);

    auto *fields = new QGridLayout;
    auto *findLabel = new QLabel(Text(res::kFindWhat), this);
    findLabel->setBuddy(m_findWhat);
    fields->addWidget(findLabel, 0, 0);
    fields->addWidget(m_findWhat, 0, 1);
    if (replace) {
        m_replaceWith = new QLineEdit(this);
        auto *replaceLabel = new QLabel(Text(res::kReplaceWith), this);
        replaceLabel->setBuddy(m_replaceWith);
        fields->addWidget(replaceLabel, 1, 0);
        fields->addWidget(m_replaceWith, 1, 1);
    }

    auto *checks = new QVBoxLayout;
    checks->addWidget(m_wholeWord);
    checks->addWidget(m_matchCase);
    checks->addStretch(1);
    auto *options = new QHBoxLayout;
    options->addLayout(checks);
    if (!replace) {
        auto *direction = new QGroupBox(Text(res::kFindDirection), this);
        m_up = new QRadioButton(Text(res::kFindUp), direction);
        m_down = new QRadioButton(Text(res::kFindDown), direction);
        m_down->setChecked(true);
        auto *directionLayout = new QHBoxLayout(direction);
        directionLayout->addWidget(m_up);
        directionLayout->addWidget(m_down);
        options->addWidget(direction);
    }

    auto *left = new QVBoxLayout;
    left->addLayout(fields);
    left->addLayout(options);

    auto *buttons = new QVBoxLayout;
    m_findNext->setDefault(true);
    buttons->addWidget(m_findNext);
    connect(m_findNext, &QPushButton::clicked, this, &FindReplaceDlg::findNext);
    if (replace) {
        m_replace = new QPushButton(Text(res::kReplaceButton), this);
        m_replaceAll = new QPushButton(Text(res::kReplaceAllButton), this);
        buttons->addWidget(m_replace);
        buttons->addWidget(m_replaceAll);
        connect(m_replace, &QPushButton::clicked, this, &FindReplaceDlg::replaceCurrent);
        connect(m_replaceAll, &QPushButton::clicked, this, &FindReplaceDlg::replaceAll);
    }
    auto *cancel = new QPushButton(Text(res::kFindCancel), this);
    cancel->setAutoDefault(false);
    buttons->addWidget(cancel);
    buttons->addStretch(1);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    for (QPushButton *button : {m_replace, m_replaceAll}) {
        if (button)
            button->setAutoDefault(false);
    }

    auto *layout = new QHBoxLayout(this);
    layout->addLayout(left, 1);
    layout->addLayout(buttons);

    QWidget *order[] = {m_findWhat, m_replaceWith, m_wholeWord, m_matchCase,  m_up,
                        m_down,     m_findNext,    m_replace,   m_replaceAll, cancel};
    QWidget *previous = nullptr;
    for (QWidget *widget : order) {
        if (!widget)
            continue;
        if (previous)
            setTabOrder(previous, widget);
        previous = widget;
    }

    connect(m_findWhat, &QLineEdit::textChanged, this, &FindReplaceDlg::UpdateButtons);
    UpdateButtons();
    m_findWhat->setFocus();
}

FindReplaceDlg::~FindReplaceDlg() = default;

QString FindReplaceDlg::FindWhat() const
{
    return m_findWhat->text();
}

void FindReplaceDlg::SetFindWhat(const QString &text)
{
    m_findWhat->setText(text);
    m_findWhat->selectAll();
}

QString FindReplaceDlg::ReplaceWith() const
{
    return m_replaceWith ? m_replaceWith->text() : QString();
}

void FindReplaceDlg::SetReplaceWith(const QString &text)
{
    if (m_replaceWith)
        m_replaceWith->setText(text);
}

FindOptions FindReplaceDlg::Options() const
{
    FindOptions options;
    options.matchCase = m_matchCase->isChecked();
    options.wholeWord = m_wholeWord->isChecked();
    options.down = !m_up || !m_up->isChecked();
    return options;
}

void FindReplaceDlg::SetOptions(const FindOptions &options)
{
    m_matchCase->setChecked(options.matchCase);
    m_wholeWord->setChecked(options.wholeWord);
    if (m_up) {
        m_up->setChecked(!options.down);
        m_down->setChecked(options.down);
    }
}

void FindReplaceDlg::UpdateButtons()
{
    const bool any = !m_findWhat->text().isEmpty();
    for (QPushButton *button : {m_findNext, m_replace, m_replaceAll}) {
        if (button)
            button->setEnabled(any);
    }
}

void FindReplaceDlg::KeepClearOf(const QRect &area)
{
    QRect frame = frameGeometry();
    if (!frame.intersects(area))
        return;
    const QScreen *display = screen();
    const QRect available = display ? display->availableGeometry() : QRect();
    if (area.top() - frame.height() >= available.top())
        frame.moveBottom(area.top() - 1);
    else
        frame.moveTop(area.bottom() + 1);
    move(frame.topLeft());
}

} // namespace kivo
