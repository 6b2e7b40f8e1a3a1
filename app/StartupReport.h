#pragma once

#include <QString>

namespace kivo {

class CMainFrame;

/// Writes the layout of the main window to a file, one line per window: the main window's
/// title and screen geometry, then each text window's pane number, title, geometry on the
/// screen and whether it is active. The smoke test reads it to check the start-up layout.
bool WriteWindowReport(const CMainFrame &frame, const QString &path);

} // namespace kivo
