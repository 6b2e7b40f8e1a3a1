#pragma once

#include <optional>
#include <string_view>

/// The control words the RTF reader acts on. Internal to the reader.
namespace kivo::rtf {

/// Named after the words themselves; the variants of a word share one (every kind of underline
/// is ul, \striked is strike), and every destination whose text is skipped is skip.
enum class Keyword {
    // destinations
    fonttbl, colortbl, upr, skip,
    // the document and its tables
    ansi, mac, pc, pca, ansicpg, deff, f, af, fcharset, cpg, red, green, blue,
    // character properties
    plain, b, i, ab, ai, ul, ulnone, strike, v, cf, fs, afs, loch, hich, dbch, rtlch, ltrch,
    // Unicode
    uc, u, ud,
    // characters and breaks
    par, line, tab, cell, nestcell, row, nestrow, emdash, endash, emspace, enspace, qmspace,
    bullet, lquote, rquote, ldblquote, rdblquote, zwj, zwnj,
};

/// The keyword of a control word; nullopt for a word the reader ignores.
std::optional<Keyword> FindKeyword(std::string_view word);

/// Whether the keyword starts a destination: the rest of its group goes elsewhere than the text.
constexpr bool IsDestination(Keyword keyword)
{
    return keyword == Keyword::fonttbl || keyword == Keyword::colortbl ||
           keyword == Keyword::upr || keyword == Keyword::skip;
}

} // namespace kivo::rtf
