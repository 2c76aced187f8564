// Unified diffs of two byte strings, as `diff -u` makes them and `patch`
// reads them. Lines are cut as those programs cut them: a line runs up to
// and including its LF, so a CR before the LF is part of the line (CR LF
// lines come out byte for byte) and a page with CR line ends alone is one
// line; the last line may lack its LF.
#ifndef VORN_SUPPORT_UNIFIED_DIFF_H_
#define VORN_SUPPORT_UNIFIED_DIFF_H_

#include <string>
#include <string_view>

namespace vorn {

// The diff that turns `before` into `after`: the headers "--- " + old_label
// and "+++ " + new_label (each ending in LF, no time stamps; a label with
// a blank, a quote, a backslash or a byte that is not printable ASCII is
// quoted and escaped as diff quotes file names, so that patch finds the
// file), then hunks
// with `context` unchanged lines around each change; changes closer than
// twice the context share a hunk. A last line without LF is followed by
// "\ No newline at end of file". Returns the empty text when the two are
// equal. Applied with patch to `before`, the diff gives `after` byte for
// byte. The changes are a shortest edit script unless the two differ in
// very many lines, when the differing middle is given as removed and added
// whole (still a correct diff, found in bounded time and memory).
std::string UnifiedDiff(std::string_view before, std::string_view after,
                        std::string_view old_label, std::string_view new_label,
                        int context = 3);

}  // namespace vorn

#endif  // VORN_SUPPORT_UNIFIED_DIFF_H_
