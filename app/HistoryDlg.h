#pragma once

#include <QStringList>

#include <optional>

class QWidget;

namespace kivo {

/// The list of the windows' texts kept from earlier runs ("以前のウィンドウの内容"), newest first;
/// returns the row chosen to open, or nullopt for cancel.
std::optional<int> ChooseHistoryEntry(const QStringList &entries, QWidget *parent);

} // namespace kivo
