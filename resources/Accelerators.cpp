#include "resources/Accelerators.h"

#include "resources/ResourceIds.h"

#include <array>

namespace kivo::res {
namespace {

constexpr std::array kMainAccelerators = std::to_array<Accelerator>({
    {Qt::CTRL | Qt::Key_N, ID_FILE_NEW},
    {Qt::CTRL | Qt::Key_O, ID_FILE_OPEN},
    {Qt::CTRL | Qt::Key_S, ID_FILE_SAVE},
    {Qt::CTRL | Qt::Key_P, ID_FILE_PRINT},
    {Qt::CTRL | Qt::Key_Z, ID_EDIT_UNDO},
    {Qt::ALT | Qt::Key_Backspace, ID_EDIT_UNDO},
    {Qt::CTRL | Qt::Key_X, ID_EDIT_CUT},
    {Qt::SHIFT | Qt::Key_Delete, ID_EDIT_CUT},
    {Qt::CTRL | Qt::Key_C, ID_EDIT_COPY},
    {Qt::CTRL | Qt::Key_Insert, ID_EDIT_COPY},
    {Qt::CTRL | Qt::Key_V, ID_EDIT_PASTE},
    {Qt::SHIFT | Qt::Key_Insert, ID_EDIT_PASTE},
    {Qt::CTRL | Qt::Key_A, ID_EDIT_SELECT_ALL},
    {Qt::CTRL | Qt::Key_F, ID_EDIT_FIND},
    {QKeyCombination(Qt::Key_F3), ID_EDIT_REPEAT},
    {Qt::CTRL | Qt::Key_H, ID_EDIT_REPLACE},
    {QKeyCombination(Qt::Key_F5), ID_COMPARE_WHOLE},
    {Qt::CTRL | Qt::Key_D, ID_COMPARE_SELECTION},
    {QKeyCombination(Qt::Key_F8), ID_NEXT_DIFFERENCE},
    {Qt::SHIFT | Qt::Key_F8, ID_PREV_DIFFERENCE},
    {Qt::CTRL | Qt::Key_J, ID_GO_TO_MOVED},
    {QKeyCombination(Qt::Key_F6), ID_NEXT_PANE},
    {Qt::SHIFT | Qt::Key_F6, ID_PREV_PANE},
});

} // namespace

std::span<const Accelerator> AcceleratorTable(int tableId)
{
    if (tableId == IDR_MAINFRAME)
        return kMainAccelerators;
    return {};
}

} // namespace kivo::res
