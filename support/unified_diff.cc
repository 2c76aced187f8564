#include "support/unified_diff.h"

#include <algorithm>
#include <cstdint>
#include <unordered_map>
#include <vector>

namespace vorn {
namespace {

enum class Op : char { kSame, kRemove, kAdd };

// Past this many differing lines the middle is given whole: the search
// below keeps (D + 1)^2 numbers for D differences.
constexpr int kMaxEdits = 2000;

std::vector<std::string_view> SplitAtLf(std::string_view text) {
  std::vector<std::string_view> lines;
  std::size_t start = 0;
  while (start < text.size()) {
    const std::size_t lf = text.find('\n', start);
    const std::size_t end = lf == std::string_view::npos ? text.size() : lf + 1;
    lines.push_back(text.substr(start, end - start));
    start = end;
  }
  return lines;
}

// A shortest edit script from `a` to `b` (lines as numbers), by Myers'
// greedy search, appended to `*ops`; false (nothing appended) when it needs
// more than kMaxEdits changes.
bool ShortestEdits(const std::vector<int>& a, const std::vector<int>& b,
                   std::vector<Op>* ops) {
  const int n = static_cast<int>(a.size()), m = static_cast<int>(b.size());
  const int offset = n + m + 1;
  std::vector<int> v(2 * offset + 1, 0);
  // trace[d] holds v[k] for k in [-d, d] after step d.
  std::vector<std::vector<int>> trace;
  int found = -1;
  for (int d = 0; d <= std::min(n + m, kMaxEdits) && found < 0; ++d) {
    for (int k = -d; k <= d; k += 2) {
      int x = k == -d || (k != d && v[offset + k - 1] < v[offset + k + 1])
                  ? v[offset + k + 1]
                  : v[offset + k - 1] + 1;
      int y = x - k;
      while (x < n && y < m && a[x] == b[y]) ++x, ++y;
      v[offset + k] = x;
      if (x >= n && y >= m) found = d;
    }
    trace.emplace_back(v.begin() + offset - d, v.begin() + offset + d + 1);
  }
  if (found < 0) return false;

  std::vector<Op> reversed;
  int x = n, y = m;
  for (int d = found; d > 0; --d) {
    const std::vector<int>& prev = trace[d - 1];
    auto at = [&](int k) { return prev[k + d - 1]; };
    const int k = x - y;
    const bool down = k == -d || (k != d && at(k - 1) < at(k + 1));
    const int prev_k = down ? k + 1 : k - 1;
    const int prev_x = at(prev_k), prev_y = prev_x - prev_k;
    while (x > prev_x && y > prev_y) {
      reversed.push_back(Op::kSame);
      --x, --y;
    }
    reversed.push_back(down ? Op::kAdd : Op::kRemove);
    x = prev_x, y = prev_y;
  }
  reversed.insert(reversed.end(), static_cast<std::size_t>(x), Op::kSame);
  ops->insert(ops->end(), reversed.rbegin(), reversed.rend());
  return true;
}

// Slides each run of changed lines of one file as `diff` does, so that
// among equally short scripts the same one comes out: back while the line
// before the run equals its last line, then forward while the line after
// it equals its first; runs that meet merge; a run is then pulled back to
// where it last lined up with a change in the other file. `changed` and
// `other` have a false entry before and after their lines.
void ShiftBoundaries(const std::vector<int>& equivs, char* changed,
                     const char* other) {
  using Index = std::ptrdiff_t;
  const Index i_end = static_cast<Index>(equivs.size());
  Index i = 0, j = 0;
  while (true) {
    while (i < i_end && !changed[i]) {
      while (other[j++]) continue;
      ++i;
    }
    if (i == i_end) break;
    Index start = i;
    while (changed[++i]) continue;
    while (other[j]) ++j;
    Index run_length, corresponding;
    do {
      run_length = i - start;
      while (start > 0 && equivs[start - 1] == equivs[i - 1]) {
        changed[--start] = 1;
        changed[--i] = 0;
        while (changed[start - 1]) --start;
        while (other[--j]) continue;
      }
      corresponding = other[j - 1] ? i : i_end;
      while (i != i_end && equivs[start] == equivs[i]) {
        changed[start++] = 0;
        changed[i++] = 1;
        while (changed[i]) ++i;
        while (other[++j]) corresponding = i;
      }
    } while (run_length != i - start);
    while (corresponding < i) {
      changed[--start] = 1;
      changed[--i] = 0;
      while (other[--j]) continue;
    }
  }
}

// The edit script of the whole texts: the common head and tail as they
// are, the middle by ShortestEdits or, past its bound, removed and added
// whole; then the runs of changes placed as diff places them, removed
// lines before added ones.
std::vector<Op> EditScript(const std::vector<std::string_view>& a,
                           const std::vector<std::string_view>& b) {
  std::unordered_map<std::string_view, int> ids;
  auto numbered = [&](const std::vector<std::string_view>& lines) {
    std::vector<int> out;
    out.reserve(lines.size());
    for (std::string_view line : lines)
      out.push_back(
          ids.emplace(line, static_cast<int>(ids.size())).first->second);
    return out;
  };
  const std::vector<int> ea = numbered(a), eb = numbered(b);
  std::size_t head = 0;
  while (head < ea.size() && head < eb.size() && ea[head] == eb[head]) ++head;
  std::size_t tail = 0;
  while (tail < ea.size() - head && tail < eb.size() - head &&
         ea[ea.size() - 1 - tail] == eb[eb.size() - 1 - tail])
    ++tail;
  const std::vector<int> middle_a(ea.begin() + head, ea.end() - tail),
      middle_b(eb.begin() + head, eb.end() - tail);
  std::vector<Op> middle;
  if (!ShortestEdits(middle_a, middle_b, &middle)) {
    middle.assign(middle_a.size(), Op::kRemove);
    middle.insert(middle.end(), middle_b.size(), Op::kAdd);
  }
  // Changed flags of each file, with a false entry on either side.
  std::vector<char> ca(ea.size() + 2, 0), cb(eb.size() + 2, 0);
  std::size_t x = head, y = head;
  for (Op op : middle) {
    if (op == Op::kRemove) ca[1 + x] = 1;
    if (op == Op::kAdd) cb[1 + y] = 1;
    if (op != Op::kAdd) ++x;
    if (op != Op::kRemove) ++y;
  }
  ShiftBoundaries(ea, ca.data() + 1, cb.data() + 1);
  ShiftBoundaries(eb, cb.data() + 1, ca.data() + 1);
  std::vector<Op> ops;
  x = 0, y = 0;
  while (x < ea.size() || y < eb.size()) {
    if (x < ea.size() && ca[1 + x]) {
      ops.push_back(Op::kRemove), ++x;
    } else if (y < eb.size() && cb[1 + y]) {
      ops.push_back(Op::kAdd), ++y;
    } else {
      ops.push_back(Op::kSame), ++x, ++y;
    }
  }
  return ops;
}

// "start,count" of a hunk's range, as diff writes it: the count is left out
// when it is 1, and an empty range starts at the line before it.
std::string Range(std::size_t lines_before, std::size_t count) {
  const std::size_t start = count == 0 ? lines_before : lines_before + 1;
  if (count == 1) return std::to_string(start);
  return std::to_string(start) + "," + std::to_string(count);
}

// `label` as diff writes a file name: as it is, or in double quotes with
// C escapes (octal for bytes beyond ASCII) when it holds a blank or a byte
// that would need one. patch reads a name up to its first blank otherwise.
std::string QuotedLabel(std::string_view label) {
  auto plain = [](unsigned char c) {
    return c > ' ' && c < 0x7F && c != '"' && c != '\\';
  };
  if (std::all_of(label.begin(), label.end(), plain)) return std::string(label);
  std::string out = "\"";
  for (const char ch : label) {
    const auto c = static_cast<unsigned char>(ch);
    const char* named = c == '"'    ? "\\\""
                        : c == '\\' ? "\\\\"
                        : c == '\a' ? "\\a"
                        : c == '\b' ? "\\b"
                        : c == '\f' ? "\\f"
                        : c == '\n' ? "\\n"
                        : c == '\r' ? "\\r"
                        : c == '\t' ? "\\t"
                        : c == '\v' ? "\\v"
                                    : nullptr;
    if (named != nullptr) {
      out += named;
    } else if (c == ' ' || plain(c)) {
      out.push_back(ch);
    } else {
      const char octal[] = {'\\', static_cast<char>('0' + (c >> 6)),
                            static_cast<char>('0' + ((c >> 3) & 7)),
                            static_cast<char>('0' + (c & 7)), '\0'};
      out += octal;
    }
  }
  out.push_back('"');
  return out;
}

void AppendLine(std::string& out, char mark, std::string_view line) {
  out.push_back(mark);
  out.append(line);
  if (line.empty() || line.back() != '\n')
    out.append("\n\\ No newline at end of file\n");
}

}  // namespace

std::string UnifiedDiff(std::string_view before, std::string_view after,
                        std::string_view old_label, std::string_view new_label,
                        int context) {
  if (before == after) return {};
  const std::vector<std::string_view> a = SplitAtLf(before),
                                      b = SplitAtLf(after);
  const std::vector<Op> ops = EditScript(a, b);
  const std::size_t c = static_cast<std::size_t>(std::max(context, 0));

  std::string out = "--- " + QuotedLabel(old_label) + "\n+++ " +
                    QuotedLabel(new_label) + "\n";
  // Lines of each side before op i, kept as the walk goes.
  std::size_t i = 0, old_line = 0, new_line = 0;
  auto step = [&](std::size_t& at, std::size_t& o, std::size_t& n) {
    if (ops[at] != Op::kAdd) ++o;
    if (ops[at] != Op::kRemove) ++n;
    ++at;
  };
  while (true) {
    // The next change, and the context before it.
    std::size_t first = i;
    std::size_t o = old_line, n = new_line;
    while (first < ops.size() && ops[first] == Op::kSame) step(first, o, n);
    if (first == ops.size()) break;
    std::size_t start = first >= i + c ? first - c : i;
    std::size_t start_old = o - (first - start),
                start_new = n - (first - start);
    // The hunk goes on while the next change is at most 2c lines away.
    std::size_t end = first;
    while (true) {
      while (end < ops.size() && ops[end] != Op::kSame) step(end, o, n);
      std::size_t gap = end;
      std::size_t go = o, gn = n;
      while (gap < ops.size() && ops[gap] == Op::kSame && gap - end <= 2 * c)
        step(gap, go, gn);
      if (gap < ops.size() && ops[gap] != Op::kSame && gap - end <= 2 * c) {
        end = gap, o = go, n = gn;
        continue;
      }
      break;
    }
    const std::size_t stop = std::min(ops.size(), end + c);
    std::size_t old_count = 0, new_count = 0;
    for (std::size_t k = start; k < stop; ++k) {
      if (ops[k] != Op::kAdd) ++old_count;
      if (ops[k] != Op::kRemove) ++new_count;
    }
    out += "@@ -" + Range(start_old, old_count) + " +" +
           Range(start_new, new_count) + " @@\n";
    std::size_t ao = start_old, bn = start_new;
    for (std::size_t k = start; k < stop; ++k) {
      switch (ops[k]) {
        case Op::kSame:
          AppendLine(out, ' ', a[ao++]);
          ++bn;
          break;
        case Op::kRemove:
          AppendLine(out, '-', a[ao++]);
          break;
        case Op::kAdd:
          AppendLine(out, '+', b[bn++]);
          break;
      }
    }
    i = stop;
    old_line = ao;
    new_line = bn;
  }
  return out;
}

}  // namespace vorn
