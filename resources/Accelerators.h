#pragma once

#include <QKeyCombination>

#include <span>

/// Accelerator tables: keys that send a command wherever the focus is in the main window.
namespace kivo::res {

struct Accelerator {
    QKeyCombination key;
    int id;
};

/// The entries of an accelerator table; empty for an unknown id.
std::span<const Accelerator> AcceleratorTable(int tableId);

} // namespace kivo::res
