#include "RtfKeywords.h"

#include <string>
#include <unordered_map>

namespace kivo::rtf {

namespace {

using Table = std::unordered_map<std::string_view, Keyword>;

Table MakeTable()
{
    using enum Keyword;
    Table table{
        {"fonttbl", fonttbl}, {"colortbl", colortbl}, {"upr", upr},
        {"ansi", ansi}, {"mac", mac}, {"pc", pc}, {"pca", pca}, {"ansicpg", ansicpg},
        {"deff", deff}, {"f", f}, {"af", af}, {"fcharset", fcharset}, {"cpg", cpg},
        {"red", red}, {"green", green}, {"blue", blue},
        {"plain", plain}, {"b", b}, {"i", i}, {"ab", ab}, {"ai", ai}, {"ulnone", ulnone},
        {"strike", strike}, {"striked", strike}, {"v", v}, {"cf", cf}, {"fs", fs}, {"afs", afs},
        {"loch", loch}, {"hich", hich}, {"dbch", dbch}, {"rtlch", rtlch}, {"ltrch", ltrch},
        {"uc", uc}, {"u", u}, {"ud", ud},
        {"par", par}, {"line", line}, {"tab", tab}, {"cell", cell}, {"nestcell", nestcell},
        {"row", row}, {"nestrow", nestrow}, {"emdash", emdash}, {"endash", endash},
        {"emspace", emspace}, {"enspace", enspace}, {"qmspace", qmspace}, {"bullet", bullet},
        {"lquote", lquote}, {"rquote", rquote}, {"ldblquote", ldblquote},
        {"rdblquote", rdblquote}, {"zwj", zwj}, {"zwnj", zwnj},
    };
    // Every kind of underline turns underlining on (\ulc is its colour, not one of them).
    for (const char *word : {"ul", "uld", "uldash", "uldashd", "uldashdd", "uldb", "ulhwave",
                             "ulldash", "ulth", "ulthd", "ulthdash", "ulthdashd", "ulthdashdd",
                             "ulthldash", "ululdbwave", "ulw", "ulwave"})
        table.emplace(word, ul);
    // Destinations whose text is not part of the document's text. Pictures, objects' data and
    // shapes' pictures; field instructions (the field's result is text); style sheets, lists,
    // revision and other tables; document information; headers, footers, notes and comments;
    // the alternative and embedded forms of fonts. Any other \* destination is skipped too.
    for (const char *word :
         {"pict", "nonshppict", "shpinst", "shprslt", "objdata", "objclass", "objname", "do",
          "fldinst", "datafield", "stylesheet", "listtable", "listoverridetable", "revtbl",
          "rsidtbl", "filetbl", "info", "generator", "xmlnstbl", "themedata",
          "colorschememapping", "datastore", "latentstyles", "userprops", "docvar", "header",
          "headerl", "headerr", "headerf", "footer", "footerl", "footerr", "footerf", "footnote",
          "annotation", "atnid", "atnauthor", "ftnsep", "ftnsepc", "aftnsep", "aftnsepc",
          "pnseclvl", "pntxta", "pntxtb", "falt", "panose", "fontemb", "fontfile", "xe", "tc",
          "txe", "bkmkstart", "bkmkend", "template", "pgdsctbl", "mmathPr", "passwordhash"})
        table.emplace(word, skip);
    return table;
}

} // namespace

std::optional<Keyword> FindKeyword(std::string_view word)
{
    static const Table table = MakeTable();
    if (const auto it = table.find(word); it != table.end())
        return it->second;
    return std::nullopt;
}

} // namespace kivo::rtf
