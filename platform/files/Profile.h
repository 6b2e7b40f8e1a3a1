#pragma once

#include <QString>

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

class QSettings;

namespace kivo {

/// The per-user settings store of one application: named values in named sections, below the
/// company and application names. Integers are 32-bit; strings are code page 932 in the program
/// and kept as readable UTF-8 text in the store; binary blocks are kept byte for byte.
///
/// Each call reads or writes one value. A value that is missing or of another form reads as
/// the default given.
class Profile {
public:
    /// The store of the current user for this company and application (on this platform the
    /// file company/application.conf in the user's configuration folder).
    Profile(const QString &company, const QString &application);
    ~Profile();
    Profile(const Profile &) = delete;
    Profile &operator=(const Profile &) = delete;

    std::int32_t GetProfileInt(std::string_view section, std::string_view entry,
                               std::int32_t defaultValue) const;
    /// A code page 932 string.
    std::string GetProfileString(std::string_view section, std::string_view entry,
                                 std::string_view defaultValue) const;
    /// The block, or nothing when the value is missing or not a block.
    std::optional<std::vector<std::uint8_t>> GetProfileBinary(std::string_view section,
                                                              std::string_view entry) const;

    void WriteProfileInt(std::string_view section, std::string_view entry, std::int32_t value);
    /// value is code page 932.
    void WriteProfileString(std::string_view section, std::string_view entry,
                            std::string_view value);
    void WriteProfileBinary(std::string_view section, std::string_view entry,
                            std::span<const std::uint8_t> value);

    /// Removes one value (tests and repairs).
    void RemoveEntry(std::string_view section, std::string_view entry);
    /// Removes a section with all its values.
    void RemoveSection(std::string_view section);

    /// Writes what is pending to the store and re-reads it; false when the store could not be
    /// written (a folder without write permission, a full disk). A store that could not be read
    /// (a damaged file) is no failure once it has been written anew.
    bool Flush();
    /// Where the store lives.
    QString FileName() const;

private:
    std::unique_ptr<QSettings> m_settings;
};

} // namespace kivo
