#include "cli/run_output.h"

#include <vector>

#include "cli/formats.h"
#include "cli/json.h"
#include "documents/insert.h"

namespace vorn::cli {
namespace {

void Write(std::FILE* out, std::string& text) {
  std::fwrite(text.data(), 1, text.size(), out);
  std::fflush(out);
  text.clear();
}

std::optional<std::string> Utf8OrNone(const std::optional<std::string>& text) {
  return text;
}

class Json : public PagePrinter {
 public:
  Json(std::FILE* out, const std::string& folder, bool dry_run)
      : out_(out), folder_(folder), dry_run_(dry_run), json_(&text_) {}

  void Started() override {
    json_.BeginObject();
    json_.Key("folder");
    json_.String(ValidUtf8(folder_));
    json_.Key("dry_run");
    json_.Bool(dry_run_);
    json_.Key("pages");
    json_.BeginArray();
    Write(out_, text_);
  }
  void Page(const PageRecord& r) override {
    json_.BeginObject();
    json_.Key("path");
    json_.String(ValidUtf8(r.path));
    json_.Key("outcome");
    json_.String(OutcomeName(r.outcome));
    json_.Key("old_tag");
    json_.StringOrNull(Utf8OrNone(r.old_tag));
    json_.Key("new_tag");
    json_.StringOrNull(Utf8OrNone(r.new_tag));
    json_.Key("language");
    if (r.language.empty())
      json_.Null();
    else
      json_.String(r.language);
    json_.EndObject();
    Write(out_, text_);
  }
  void FolderNotRead(const std::string& folder,
                     const std::string& error) override {
    unreadable_.push_back({folder, error});
  }
  void Finished(const RunSummary& s) override {
    json_.EndArray();
    json_.Key("unreadable_folders");
    json_.BeginArray();
    for (const auto& [folder, error] : unreadable_) {
      json_.BeginObject();
      json_.Key("path");
      json_.String(ValidUtf8(folder));
      json_.Key("error");
      json_.String(ValidUtf8(error));
      json_.EndObject();
    }
    json_.EndArray();
    json_.Key("summary");
    json_.BeginObject();
    const std::pair<const char*, std::int64_t> counts[] = {
        {"files", s.FileCount},
        {"inserted", s.InsertedCount},
        {"folders", s.FolderCount},
        {"not_updated", s.NotUpdatedCount}};
    for (const auto& [name, n] : counts) {
      json_.Key(name);
      json_.Number(n);
    }
    json_.Key("stopped");
    json_.Bool(s.stopped);
    json_.Key("terminated");
    json_.Bool(s.terminated);
    json_.Key("result");
    json_.String(s.result_text);
    json_.EndObject();
    json_.EndObject();
    Write(out_, text_);
  }

 private:
  std::FILE* out_;
  const std::string& folder_;
  bool dry_run_;
  std::string text_;
  JsonWriter json_;
  std::vector<std::pair<std::string, std::string>> unreadable_;
};

class Tsv : public PagePrinter {
 public:
  explicit Tsv(std::FILE* out) : out_(out) {}
  void Started() override {
    std::string header =
        TsvLine({"path", "outcome", "old_tag", "new_tag", "language"});
    Write(out_, header);
  }
  void Page(const PageRecord& r) override {
    std::string line =
        TsvLine({ValidUtf8(r.path), OutcomeName(r.outcome),
                 Utf8OrNone(r.old_tag).value_or(""),
                 Utf8OrNone(r.new_tag).value_or(""), r.language});
    Write(out_, line);
  }

 private:
  std::FILE* out_;
};

class Diff : public PagePrinter {
 public:
  Diff(std::FILE* out, const std::string& folder)
      : out_(out), folder_(folder) {}
  void Page(const PageRecord& r) override {
    if (r.bytes == nullptr) return;
    const std::string path = PatchPath(folder_, r.relative_path);
    std::string diff = DiffOfRewrite(*r.bytes, "a/" + path, "b/" + path);
    Write(out_, diff);
  }

 private:
  std::FILE* out_;
  const std::string& folder_;
};

}  // namespace

std::unique_ptr<PagePrinter> JsonPrinter(std::FILE* out,
                                         const std::string& folder,
                                         bool dry_run) {
  return std::make_unique<Json>(out, folder, dry_run);
}

std::unique_ptr<PagePrinter> TsvPrinter(std::FILE* out) {
  return std::make_unique<Tsv>(out);
}

std::unique_ptr<PagePrinter> DiffPrinter(std::FILE* out,
                                         const std::string& folder) {
  return std::make_unique<Diff>(out, folder);
}

}  // namespace vorn::cli
