// upgtool build: a package that brings OLD_FOLDER to NEW_FOLDER, verified
// with the applicator's own reader and interpreter before it is written.
#include <cstdio>
#include <string>
#include <vector>

#include "builder/package_builder.h"
#include "package/package_reader.h"
#include "package/upgrade_session.h"
#include "platform/code_page.h"
#include "platform/file_system.h"
#include "platform/terminal.h"
#include "platform/time.h"
#include "signing/key_files.h"
#include "signing/package_signature.h"
#include "streams/kv_file_stream.h"
#include "tools/upgtool/arguments.h"
#include "tools/upgtool/commands.h"
#include "tools/upgtool/json_writer.h"
#include "tools/upgtool/stamp_text.h"
#include "ui/printable_text.h"

namespace upgtool {

namespace {

constexpr char kUsage[] =
    "build [--plain] [--extended] [--best] [--format 17|18] [--title TEXT] [--description TEXT | "
    "--description-file "
    "FILE] [--warning POLICY] [--error POLICY] [--policies FILE] [--verify-unchanged] "
    "[--no-verify] [--strict] [--time-zone ZONE] [--codepage N] [--json] [--sign KEYFILE] "
    "OLD_FOLDER NEW_FOLDER -o PACKAGE";

constexpr char kHelp[] =
    "usage: upgtool build [options] OLD_FOLDER NEW_FOLDER -o PACKAGE\n"
    "\n"
    "Writes a package that brings a folder holding OLD_FOLDER's files to NEW_FOLDER's.\n"
    "\n"
    "  -o PACKAGE               the package to write (replaced only by a verified one)\n"
    "  --plain                  no \"[KVZ]\" container (default: zlib at level 9)\n"
    "  --extended               an extended package (\"[KVUPX]\", with AddDiff operations):\n"
    "                           far smaller on programs; only this project's applicators read it\n"
    "  --best                   zopfli for the container and a more thorough match search:\n"
    "                           a little smaller, much slower to build\n"
    "  --format 17|18           package version (default 18; 17 has no Replace)\n"
    "  --title TEXT             at most 79 characters\n"
    "  --description TEXT       at most 8191 characters\n"
    "  --description-file FILE  the description from a file\n"
    "  --warning POLICY         ignore, ask or critical for every entry's warnings\n"
    "  --error POLICY           the same for errors\n"
    "  --policies FILE          lines of GLOB WARNING ERROR (\"-\" keeps a policy)\n"
    "  --verify-unchanged       a Verify entry for every unchanged file\n"
    "  --no-verify              skip replaying the package before writing it\n"
    "  --strict                 links, special files and empty folders are errors\n"
    "  --time-zone ZONE         stamps as a machine in ZONE (such as America/New_York)\n"
    "                           computes them now (default: this machine's zone)\n"
    "  --codepage N             the Windows code page of names and texts (default 1252)\n"
    "  --json                   the summary as JSON\n"
    "  --sign KEYFILE           also write PACKAGE.sig with this secret key\n"
    "\n"
    "Default policies (warning/error): Add, Update, Replace, Verify ask/critical;\n"
    "Remove ask/ignore. Exit status: 0 written, 1 refused, 2 usage error.\n";

// A progress line appears only for a build that takes a while, and is
// redrawn at most this often.
constexpr std::uint32_t kProgressDelayMs = 500;
constexpr std::uint32_t kProgressEveryMs = 100;
constexpr std::size_t kProgressNameWidth = 50;

class ProgressLine {
 public:
  ProgressLine()
      : enabled_(platform::IsTerminal(stderr)), start_(platform::TickCount()), last_(start_) {}
  ~ProgressLine() {
    if (shown_) std::fprintf(stderr, "\r%*s\r", 79, "");
  }
  ProgressLine(const ProgressLine&) = delete;
  ProgressLine& operator=(const ProgressLine&) = delete;

  void Show(const builder::BuildProgress& progress) {
    const std::uint32_t now = platform::TickCount();
    if (!enabled_ || now - start_ < kProgressDelayMs || now - last_ < kProgressEveryMs) return;
    last_ = now;
    shown_ = true;
    std::string name = *progress.name;
    if (name.size() > kProgressNameWidth)
      name = "..." + name.substr(name.size() - kProgressNameWidth + 3);
    std::fprintf(stderr, "\r[%zu/%zu] %-*s", progress.done + 1, progress.total,
                 static_cast<int>(kProgressNameWidth), ui::ConsoleText(name).c_str());
    std::fflush(stderr);
  }

 private:
  bool enabled_;
  bool shown_ = false;
  std::uint32_t start_;
  std::uint32_t last_;
};

// The description file is text as people write it on this system, up to
// four bytes a character (UTF-8). Reading no more than a whole description
// can take in that spelling, and one byte beyond, refuses an overlong one by
// its length rather than reading it whole.
constexpr std::size_t kDescriptionFileLimit = 4 * package::kPackageDescriptionCapacity + 1;

// The description in package text; false with `problem` set.
bool ReadDescriptionFile(const std::string& path, std::string* text, std::string* problem) {
  streams::TKVFStream file(platform::kOpenRead | platform::kShareRead, path.c_str());
  if (!file.IsOpen()) {
    *problem = path + ": cannot read the description file";
    return false;
  }
  std::vector<char> block(kDescriptionFileLimit);
  const std::int32_t got = file.ReadBlock(block.data(), static_cast<std::int32_t>(block.size()));
  text->assign(block.data(), static_cast<std::size_t>(got));
  // A file cut by the limit is too long whatever its characters: its
  // length is what the builder refuses it for.
  if (text->size() < kDescriptionFileLimit && !platform::SystemTextToPackageText(*text, text)) {
    *problem = path + ": the description has characters that code page " +
               std::to_string(platform::PackageCodePage()) + " cannot write";
    return false;
  }
  return true;
}

// Turns the command line into build options; false with `problem` set for
// a value that is wrong, or with it empty for a usage error.
bool ReadOptions(const Arguments& arguments, builder::BuildOptions* options, std::string* problem) {
  if (arguments.operands.size() != 2 || !arguments.HasValue("-o")) return false;
  if (arguments.HasValue("--description") && arguments.HasValue("--description-file")) return false;
  options->oldRoot = arguments.operands[0];
  options->newRoot = arguments.operands[1];
  options->compressed = !arguments.Has("--plain");
  options->kind = arguments.Has("--extended") ? package::PackageKind::kExtended
                                              : package::PackageKind::kClassic;
  options->best = arguments.Has("--best");
  options->verifyUnchanged = arguments.Has("--verify-unchanged");
  options->strict = arguments.Has("--strict");
  options->title = arguments.Value("--title");
  options->description = arguments.Value("--description");
  const std::string format = arguments.Value("--format", "18");
  if (format != "17" && format != "18") {
    *problem = "--format " + format + ": the builder writes version 17 or 18";
    return false;
  }
  options->version = format == "17" ? 17 : 18;
  for (const char* name : {"--warning", "--error"}) {
    if (!arguments.HasValue(name)) continue;
    package::Policy policy = package::Policy::kIgnore;
    if (!builder::ParsePolicy(arguments.Value(name), &policy)) {
      *problem =
          std::string(name) + " " + arguments.Value(name) + ": a policy is ignore, ask or critical";
      return false;
    }
    (name[2] == 'w' ? options->warningPolicy : options->errorPolicy) = policy;
  }
  if (arguments.HasValue("--description-file") &&
      !ReadDescriptionFile(arguments.Value("--description-file"), &options->description, problem))
    return false;
  if (arguments.HasValue("--time-zone") &&
      !platform::SelectTimeZone(arguments.Value("--time-zone"), problem))
    return false;
  if (arguments.HasValue("--policies") &&
      !options->rules.Load(arguments.Value("--policies"), problem))
    return false;
  return true;
}

double Ratio(std::uint64_t part, std::uint64_t whole) {
  return whole == 0 ? 0.0 : static_cast<double>(part) / static_cast<double>(whole);
}

void PrintJson(const std::string& path, const builder::BuildOptions& options,
               const builder::BuildResult& result, bool written,
               const std::vector<std::string>& errors) {
  JsonWriter json;
  json.BeginObject()
      .String("package", path.c_str())
      .Bool("written", written)
      .Number("version", options.version)
      .Bool("compressed", options.compressed)
      .Bool("extended", options.kind == package::PackageKind::kExtended)
      .Bool("best", options.best)
      .Object("entries");
  for (std::size_t op = 0; op < result.entriesByOperation.size(); ++op)
    json.Number(package::OperationName(static_cast<package::Operation>(op)),
                result.entriesByOperation[op]);
  json.EndObject()
      .Number("entryCount", static_cast<std::int64_t>(result.entries.size()))
      .Number("newBytes", static_cast<std::int64_t>(result.newBytes))
      .Number("literalBytes", static_cast<std::int64_t>(result.literalBytes))
      .Number("packageBytes", written ? static_cast<std::int64_t>(result.bytes.size()) : 0)
      .Decimal("ratio", written ? Ratio(result.bytes.size(), result.newBytes) : 0.0, 6)
      .Strings("warnings", result.warnings)
      .Strings("errors", errors)
      .EndObject();
  std::printf("%s\n", json.text().c_str());
}

void PrintSummary(const std::string& path, const builder::BuildOptions& options,
                  const builder::BuildResult& result, bool verified) {
  std::printf("Package:       %s (version %u, %s, %s%s)\n", ui::ConsoleText(path).c_str(),
              options.version,
              options.kind == package::PackageKind::kExtended ? "extended" : "classic",
              options.compressed ? "compressed" : "plain", options.best ? ", --best" : "");
  std::printf(
      "Entries:       %zu (%u Add, %u Update, %u Replace, %u Verify, %u Remove)\n",
      result.entries.size(), result.EntriesOf(package::Operation::kAdd),
      result.EntriesOf(package::Operation::kUpdate), result.EntriesOf(package::Operation::kReplace),
      result.EntriesOf(package::Operation::kVerify), result.EntriesOf(package::Operation::kRemove));
  std::printf(
      "New data:      %llu bytes written by the package, %llu of them carried as literal bytes\n",
      static_cast<unsigned long long>(result.newBytes),
      static_cast<unsigned long long>(result.literalBytes));
  std::printf("Package size:  %zu bytes\n", result.bytes.size());
  std::printf("Ratio:         %.2f%% of the new data\n",
              100.0 * Ratio(result.bytes.size(), result.newBytes));
  std::printf("Verified:      %s\n",
              verified ? "yes, every file rebuilt exactly" : "no (--no-verify)");
}

}  // namespace

int RunBuild(int argc, char** argv) {
  if (argc == 1 && std::string(argv[0]) == "--help") {
    std::printf("%s", kHelp);
    return 0;
  }
  const Arguments arguments(argc, argv,
                            {"--plain", "--extended", "--best", "--verify-unchanged", "--no-verify",
                             "--strict", "--json"},
                            {"-o", "--title", "--description", "--description-file", "--format",
                             "--warning", "--error", "--policies", "--time-zone", "--sign"});
  if (!arguments.parsed) return UsageError(kUsage);
  builder::BuildOptions options;
  std::string problem;
  if (!ReadOptions(arguments, &options, &problem)) {
    if (problem.empty()) return UsageError(kUsage);
    std::fprintf(stderr, "upgtool: %s\n", ui::ConsoleText(problem).c_str());
    return 2;
  }
  const std::string path = arguments.Value("-o");
  const bool verify = !arguments.Has("--no-verify");
  // The key is read before the build, so that a wrong key file costs no time.
  const bool sign = arguments.HasValue("--sign");
  signing::Ed25519SecretKey secret{};
  signing::Ed25519PublicKey publicKey{};
  if (sign && !signing::ReadSecretKeyFile(arguments.Value("--sign").c_str(), &secret, &publicKey,
                                          &problem)) {
    std::fprintf(stderr, "upgtool: %s\n", problem.c_str());
    return 2;
  }
  builder::BuildResult result;
  {
    ProgressLine line;
    result = builder::BuildPackage(
        options, [&line](const builder::BuildProgress& progress) { line.Show(progress); });
  }
  std::vector<std::string> errors = result.errors;
  if (errors.empty()) {
    const std::string failure = builder::WriteBuiltPackage(options, result, path, verify);
    if (!failure.empty()) errors.push_back(failure);
  }
  // A package that was written but could not be signed stays: it is what
  // was asked for, and the error says that its signature is missing.
  const bool written = errors.empty();
  std::string signFailure;
  if (written && sign && !signing::SignPackageFile(secret, publicKey, path.c_str(), &signFailure))
    errors.push_back("the package was written but not signed: " + signFailure);
  for (const std::string& warning : result.warnings)
    std::fprintf(stderr, "upgtool: warning: %s\n", ui::ConsoleText(warning).c_str());
  for (const std::string& error : errors)
    std::fprintf(stderr, "upgtool: error: %s\n", ui::ConsoleText(error).c_str());
  if (!written) std::fprintf(stderr, "upgtool: no package written\n");
  if (arguments.Has("--json")) {
    PrintJson(path, options, result, written, errors);
  } else if (written) {
    PrintSummary(path, options, result, verify);
    if (sign && signFailure.empty())
      std::printf("Signature:     %s (key %s)\n", signing::SignaturePathFor(path.c_str()).c_str(),
                  signing::KeyIdText(signing::KeyIdOf(publicKey)).c_str());
  }
  return errors.empty() ? 0 : 1;
}

}  // namespace upgtool
