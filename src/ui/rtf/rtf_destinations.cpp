#include "rtf_destinations.h"

#include <algorithm>
#include <array>

namespace ui {

bool IsSkippedDestination(std::string_view word) {
    static constexpr std::array<std::string_view, 50> skipped = {"stylesheet",
                                                                 "info",
                                                                 "pict",
                                                                 "header",
                                                                 "headerl",
                                                                 "headerr",
                                                                 "headerf",
                                                                 "footer",
                                                                 "footerl",
                                                                 "footerr",
                                                                 "footerf",
                                                                 "listtable",
                                                                 "listoverridetable",
                                                                 "rsidtbl",
                                                                 "generator",
                                                                 "xmlnstbl",
                                                                 "themedata",
                                                                 "colorschememapping",
                                                                 "datastore",
                                                                 "latentstyles",
                                                                 "pgdsctbl",
                                                                 "fldinst",
                                                                 "filetbl",
                                                                 "revtbl",
                                                                 "bkmkstart",
                                                                 "bkmkend",
                                                                 "ftnsep",
                                                                 "ftnsepc",
                                                                 "aftnsep",
                                                                 "aftnsepc",
                                                                 "template",
                                                                 "userprops",
                                                                 "mmathPr",
                                                                 "wgrffmtfilter",
                                                                 "docvar",
                                                                 "nonshppict",
                                                                 "shp",
                                                                 "shpinst",
                                                                 "sp",
                                                                 "sn",
                                                                 "sv",
                                                                 "objdata",
                                                                 "objclass",
                                                                 "objname",
                                                                 "comment",
                                                                 "annotation",
                                                                 "atnid",
                                                                 "atnauthor",
                                                                 "atrfstart",
                                                                 "atrfend"};
    return word == "passwordhash" || word == "nonesttables" ||
           std::find(skipped.begin(), skipped.end(), word) != skipped.end();
}

bool IsKnownOptionalDestination(std::string_view word) {
    return word == "nesttableprops" || word == "pn" || word == "footnote" || word == "listtext" ||
           word == "pntext";
}

} // namespace ui
