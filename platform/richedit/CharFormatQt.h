#pragma once

#include "RichOptions.h"

#include <QColor>
#include <QFont>
#include <QString>
#include <QTextCharFormat>

#include <cstdint>

/// CharFormat records in Qt terms. A Qt character format made from a CharFormat carries only the
/// fields that the record's dwMask names, so that merging it changes nothing else. The stored face
/// name and character set ride along as properties of their own: the face drawn is an installed
/// stand-in (DisplayFamily), but reading the format back gives the face that was set.
namespace kivo::charformat {

/// Properties of QTextCharFormat that keep the stored face name (QString) and character set (int).
inline constexpr int kFaceNameProperty = QTextFormat::UserProperty + 0x4B31;
inline constexpr int kCharSetProperty = QTextFormat::UserProperty + 0x4B32;

/// Weight from which text counts as bold when a format is read back.
inline constexpr int kBoldFrom = QFont::DemiBold;
/// Twips per point.
inline constexpr int kTwipsPerPoint = 20;

QColor ToQColor(ColorRef color);
ColorRef ToColorRef(const QColor &color);

/// The face name of a record as a QString (decoded from code page 932).
QString FaceName(const CharFormat &format);

/// A Qt format holding exactly the fields that format.dwMask names: colour, bold, italic,
/// underline, strike-out, face (the stored name and its display family), size (yHeight twips;
/// zero or less is ignored) and character set. Other mask bits are ignored.
QTextCharFormat ToTextCharFormat(const CharFormat &format);

/// The record of a Qt format with every field that ToTextCharFormat can set marked in dwMask.
/// Fields the Qt format leaves unset are taken from base (the control's default format).
CharFormat FromTextCharFormat(const QTextCharFormat &format, const CharFormat &base);

/// Copies into target the fields that change.dwMask names, and adds them to target's mask.
void Merge(CharFormat &target, const CharFormat &change);

/// The dwMask bits of the fields in which a and b agree (among those in both masks).
std::uint32_t SameFields(const CharFormat &a, const CharFormat &b);

/// The font a complete record draws with (the default format of a control).
QFont ToFont(const CharFormat &format);

} // namespace kivo::charformat
