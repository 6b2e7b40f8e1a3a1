#include "CharFormat.h"

#include "Cp932.h"

#include <algorithm>
#include <cstring>

namespace kivo {

std::string CharFormat::FaceName() const
{
    const auto end = std::find(szFaceName.begin(), szFaceName.end(), '\0');
    return std::string(szFaceName.begin(), end);
}

void CharFormat::SetFaceName(std::string_view cp932Name)
{
    // Keep at most 31 bytes so the terminator fits, and never cut a two-byte character.
    std::size_t len = 0;
    while (len < cp932Name.size()) {
        const std::size_t next = cp932::NextChar(cp932Name, len);
        if (next > szFaceName.size() - 1)
            break;
        len = next;
    }
    szFaceName.fill('\0');
    std::copy_n(cp932Name.begin(), len, szFaceName.begin());
}

std::array<std::uint8_t, CharFormat::kSize> CharFormat::ToBytes() const
{
    std::array<std::uint8_t, kSize> bytes{};
    std::memcpy(bytes.data(), this, kSize);
    return bytes;
}

CharFormat CharFormat::FromBytes(const std::array<std::uint8_t, kSize> &bytes)
{
    CharFormat format;
    std::memcpy(&format, bytes.data(), kSize);
    return format;
}

CharFormat DefaultCharFormat(ColorRef textColor)
{
    CharFormat format;
    format.cbSize = CharFormat::kSize;
    format.dwMask = kDisplayFormatMask;
    format.yHeight = kDefaultFontHeight;
    format.crTextColor = textColor;
    format.bCharSet = kDefaultCharSet;
    format.SetFaceName(kDefaultFaceName);
    return format;
}

} // namespace kivo
