#pragma once

#include <QString>

namespace kivo {

/// The installed font family that shows text stored with the given face name, so that Japanese
/// always renders. The Windows Japanese faces ("ＭＳ ゴシック", "ＭＳ Ｐゴシック", "MS UI Gothic"
/// and their Mincho and Latin-named siblings) map to the IPA fonts; any other face is used as it
/// is when installed; otherwise, and when an IPA font is missing, the first installed family
/// that has the Japanese writing system is used. With no Japanese font at all, face is returned
/// and Qt's own fallback applies. Results are cached; call from the GUI thread.
QString DisplayFamily(const QString &face);

} // namespace kivo
