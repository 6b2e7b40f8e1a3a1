#pragma once

#include <string>
#include <string_view>
#include <vector>

/// The text of a PDF's pages put back into paragraphs: no poppler, no Qt, so that it can be
/// tested on pages made up in a test.
namespace kivo::pdf {

/// A piece of text on a page as the PDF library lays it out: roughly one word, in reading order.
/// Positions in points, y growing downwards; em is the font size.
struct Box {
    std::string text; ///< UTF-8
    double left = 0, top = 0, right = 0, bottom = 0;
    double em = 0;
    bool spaceAfter = false; ///< the library saw a space between this box and the next
};

/// One printed line, or one table cell of a line: boxes next to each other on one baseline.
struct Line {
    std::string text; ///< UTF-8, never empty
    double left = 0, top = 0, right = 0, bottom = 0;
    double em = 0;
    /// The width of what starts the line and could not have stood at the end of the line above:
    /// its first word, or its first character when that is a Japanese one.
    double firstUnit = 0;
};

struct Page {
    double width = 0, height = 0;
    std::vector<Line> lines; ///< in reading order
};

/// The lines of a page from its boxes. A box starts a new line when it does not stand on the
/// same baseline right after the one before, or when a gap of several characters without a
/// space parts them (table cells). Within a line a gap of a character or more between Japanese
/// characters is an ideographic space, a space the library saw or a smaller gap is one space.
std::vector<Line> BuildLines(const std::vector<Box> &boxes);

/// Whether the line says nothing but a page number: "12", "- 12 -", "12/40", "p. 12",
/// "Page 12 of 40", "第12頁", "12ページ" (full-width digits too).
bool IsPageNumber(std::string_view utf8);

/// The text of the pages, one paragraph per line ('\n' between them, none at the end). Lines are
/// joined within a paragraph, also over a page break: with nothing between Japanese characters,
/// one space between Latin ones, and a hyphen at the end of a Latin line kept without a space. A
/// line ends its paragraph when it stops short of the text's right edge by more than the next
/// line's first word, when the next line starts further right (an indent), is not below it (a
/// table cell, a new column) or lies a blank line lower. Unless keepRunningHeads, lines in the
/// top or bottom band of the page that are page numbers, or that recur there with the same text
/// (digits aside) on most pages, are left out.
std::string JoinPages(const std::vector<Page> &pages, bool keepRunningHeads);

} // namespace kivo::pdf
