// Reads the XML that valgrind's memcheck writes (--xml=yes) and decides whether a run is clean
// for this project:
//  - memory errors (invalid reads, writes and frees, mismatched frees, overlapping copies,
//    system calls given bad memory, jumps to bad addresses) fail wherever they happen;
//  - uses of uninitialised values and definitely or indirectly lost blocks fail only when one
//    of their frames lies in this project's own sources (model/, render/, view/, app/, tools/
//    under the source root), because the toolkit, fontconfig and Mesa have many of their own;
//  - a file that does not end properly (valgrind or its client was killed) or that reports a
//    fatal signal fails too, since its leak check never ran.
// Errors valgrind suppressed never reach the XML.
//
// Usage: check_valgrind_xml --source-root DIR FILE.xml...
// Exit status 0 when every file is clean, 1 when one is not, 2 on bad usage.
#include <cstdio>
#include <fstream>
#include <iostream>
#include <memory>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace {

// Just enough of an XML tree for valgrind's output: elements, their text, their children.
struct Element {
  std::string name;
  std::string text;
  std::vector<std::unique_ptr<Element>> children;

  const Element* Child(const std::string& n) const {
    for (const auto& c : children)
      if (c->name == n) return c.get();
    return nullptr;
  }
  std::string ChildText(const std::string& n) const {
    const Element* c = Child(n);
    return c != nullptr ? c->text : std::string();
  }
};

std::string Unescape(const std::string& s) {
  static const std::pair<const char*, char> kEntities[] = {
      {"&amp;", '&'}, {"&lt;", '<'}, {"&gt;", '>'}, {"&quot;", '"'}, {"&apos;", '\''}};
  std::string out;
  for (size_t i = 0; i < s.size();) {
    bool replaced = false;
    if (s[i] == '&') {
      for (const auto& e : kEntities) {
        const std::string entity = e.first;
        if (s.compare(i, entity.size(), entity) == 0) {
          out += e.second;
          i += entity.size();
          replaced = true;
          break;
        }
      }
    }
    if (!replaced) out += s[i++];
  }
  return out;
}

// Parses the document into `root`'s children. False when the tags do not balance, which is
// what a file cut short looks like.
bool Parse(const std::string& xml, Element& root, std::string* problem) {
  std::vector<Element*> open = {&root};
  size_t i = 0;
  while (i < xml.size()) {
    const size_t lt = xml.find('<', i);
    if (lt == std::string::npos) break;
    if (open.size() > 1) open.back()->text += Unescape(xml.substr(i, lt - i));
    if (xml.compare(lt, 4, "<!--") == 0) {
      const size_t end = xml.find("-->", lt);
      if (end == std::string::npos) break;
      i = end + 3;
      continue;
    }
    // Generated suppressions come as character data, with angle brackets of their own.
    if (xml.compare(lt, 9, "<![CDATA[") == 0) {
      const size_t end = xml.find("]]>", lt);
      if (end == std::string::npos) break;
      if (open.size() > 1) open.back()->text += xml.substr(lt + 9, end - lt - 9);
      i = end + 3;
      continue;
    }
    const size_t gt = xml.find('>', lt);
    if (gt == std::string::npos) {
      *problem = "a tag is cut short";
      return false;
    }
    const std::string tag = xml.substr(lt + 1, gt - lt - 1);
    i = gt + 1;
    if (tag.empty() || tag[0] == '?' || tag[0] == '!') continue;
    if (tag[0] == '/') {
      const std::string name = tag.substr(1);
      if (open.size() < 2 || open.back()->name != name) {
        *problem = "</" + name + "> does not close the open element";
        return false;
      }
      open.pop_back();
      continue;
    }
    const bool empty = tag.back() == '/';
    std::string name = tag.substr(0, empty ? tag.size() - 1 : tag.size());
    name = name.substr(0, name.find_first_of(" \t\r\n"));
    auto element = std::make_unique<Element>();
    element->name = name;
    Element* raw = element.get();
    open.back()->children.push_back(std::move(element));
    if (!empty) open.push_back(raw);
  }
  if (open.size() != 1) {
    *problem = "<" + open.back()->name + "> is never closed (the run was cut short)";
    return false;
  }
  return true;
}

const std::set<std::string> kFatalAnywhere = {"InvalidRead",    "InvalidWrite",   "InvalidFree",
                                              "MismatchedFree", "Overlap",        "SyscallParam",
                                              "InvalidJump",    "InvalidMemPool", "FishyValue"};
const std::set<std::string> kFatalInOurCode = {"UninitCondition", "UninitValue",
                                               "Leak_DefinitelyLost", "Leak_IndirectlyLost"};
const char* const kOurFolders[] = {"model/", "render/", "view/", "app/", "tools/"};

// The frames of every stack of an error (use and origin, or access and allocation).
std::vector<const Element*> Frames(const Element& error) {
  std::vector<const Element*> frames;
  for (const auto& part : error.children) {
    if (part->name != "stack") continue;
    for (const auto& frame : part->children)
      if (frame->name == "frame") frames.push_back(frame.get());
  }
  return frames;
}

std::string FramePath(const Element& frame) {
  const std::string dir = frame.ChildText("dir"), file = frame.ChildText("file");
  if (file.empty()) return std::string();
  return dir.empty() ? file : dir + "/" + file;
}

bool IsOurs(const Element& frame, const std::string& root) {
  const std::string path = FramePath(frame);
  if (path.compare(0, root.size(), root) != 0) return false;
  for (const char* folder : kOurFolders)
    if (path.compare(root.size(), std::string(folder).size(), folder) == 0) return true;
  return false;
}

void Report(const std::string& file, const Element& error, const std::string& kind) {
  std::string what = error.ChildText("what");
  if (const Element* x = error.Child("xwhat")) what = x->ChildText("text");
  std::cout << file << ": " << kind << ": " << what << "\n";
  int shown = 0;
  for (const Element* frame : Frames(error)) {
    if (++shown > 25) {
      std::cout << "    ...\n";
      break;
    }
    std::string fn = frame->ChildText("fn");
    if (fn.empty()) fn = "???";
    std::string where = FramePath(*frame);
    if (!where.empty()) {
      where += ":" + frame->ChildText("line");
    } else {
      where = frame->ChildText("obj");
    }
    std::cout << "    " << fn << " (" << where << ")\n";
  }
}

// Checks one file; the number of errors that fail it (1 for a file that cannot be read).
int CheckFile(const std::string& path, const std::string& root, int* reported) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    std::cout << path << ": cannot be read\n";
    return 1;
  }
  std::stringstream text;
  text << in.rdbuf();
  Element document;
  std::string problem;
  if (!Parse(text.str(), document, &problem)) {
    std::cout << path << ": not a complete valgrind report: " << problem << "\n";
    return 1;
  }
  const Element* output = document.Child("valgrindoutput");
  if (output == nullptr) {
    std::cout << path << ": not a valgrind XML report\n";
    return 1;
  }
  int failures = 0;
  for (const auto& item : output->children) {
    if (item->name == "fatal_signal") {
      std::cout << path << ": the program died of signal " << item->ChildText("signame") << "\n";
      ++failures;
      continue;
    }
    if (item->name != "error") continue;
    ++*reported;
    const std::string kind = item->ChildText("kind");
    bool fails = kFatalAnywhere.count(kind) > 0;
    if (!fails && kFatalInOurCode.count(kind) > 0) {
      for (const Element* frame : Frames(*item))
        fails = fails || IsOurs(*frame, root);
    }
    if (fails) {
      Report(path, *item, kind);
      ++failures;
    }
  }
  return failures;
}

}  // namespace

int main(int argc, char** argv) {
  std::string root;
  std::vector<std::string> files;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--source-root" && i + 1 < argc) {
      root = argv[++i];
    } else {
      files.push_back(arg);
    }
  }
  if (root.empty() || files.empty()) {
    std::cerr << "usage: check_valgrind_xml --source-root DIR FILE.xml...\n";
    return 2;
  }
  if (root.back() != '/') root += '/';
  int failures = 0, reported = 0;
  for (const std::string& file : files)
    failures += CheckFile(file, root, &reported);
  std::cout << files.size() << " report(s), " << reported << " unsuppressed error(s) listed, "
            << failures << " failing\n";
  return failures == 0 ? 0 : 1;
}
