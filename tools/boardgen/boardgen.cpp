// boardgen: turns the board data text of src/device/boards/ into the C++
// tables of the module: the capability records and counter product rows of
// the models file, and for each routing variant its packed topography and
// routing-node tables (zlib, level 9).
//
//   boardgen <output.cpp> <models.txt> <variant.txt>...
//
// A variant file is named after its topography module (NoRIVOUdSeries37Pin.txt
// is the module nNoRIVOUdSeries37Pin). Any fault in the text stops the build
// with "file:line: message".
#include <zlib.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace {

constexpr uint32_t kVersion = 0x01004012;
constexpr uint32_t kLastTavikRegister = 173;
constexpr uint32_t kEntryWords = 9;  // one 36-byte routing-node entry

struct tPlace {
  std::string file;
  int line;
};

[[noreturn]] void fail(const tPlace& place, const std::string& message) {
  std::fprintf(stderr, "%s:%d: %s\n", place.file.c_str(), place.line, message.c_str());
  std::exit(1);
}

uint32_t number(const tPlace& place, const std::string& text) {
  try {
    std::size_t used = 0;
    const unsigned long long value = std::stoull(text, &used, 0);
    if (used == text.size() && value <= 0xFFFFFFFFull) return static_cast<uint32_t>(value);
  } catch (...) {
  }
  fail(place, "not a number: " + text);
}

// The words of every line of a file, with comments (#) and blank lines
// dropped; "include NAME" lines are replaced by that file's lines.
struct tLine {
  tPlace place;
  std::vector<std::string> words;
};

void readLines(const std::filesystem::path& path, std::vector<tLine>& lines) {
  std::ifstream in(path);
  if (!in) fail({path.string(), 0}, "cannot read");
  std::string text;
  for (int line = 1; std::getline(in, text); ++line) {
    text = text.substr(0, text.find('#'));
    std::istringstream split(text);
    std::vector<std::string> words;
    for (std::string word; split >> word;) words.push_back(word);
    if (words.empty()) continue;
    if (words[0] == "include" && words.size() == 2)
      readLines(path.parent_path() / words[1], lines);
    else
      lines.push_back({{path.string(), line}, words});
  }
}

std::string lower(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return text;
}

void put(std::vector<uint8_t>& bytes, uint32_t value) {
  for (int i = 0; i < 4; ++i) bytes.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

std::vector<uint8_t> pack(const std::vector<uint8_t>& bytes) {
  uLongf size = compressBound(bytes.size());
  std::vector<uint8_t> packed(size);
  if (compress2(packed.data(), &size, bytes.data(), bytes.size(), 9) != Z_OK) {
    std::fprintf(stderr, "boardgen: zlib failed\n");
    std::exit(1);
  }
  packed.resize(size);
  return packed;
}

std::string byteArray(const std::vector<uint8_t>& bytes) {
  std::ostringstream out;
  for (std::size_t i = 0; i < bytes.size(); ++i)
    out << (i % 16 == 0 ? "\n    " : " ") << static_cast<unsigned>(bytes[i]) << ",";
  return out.str();
}

std::string wordArray(const std::vector<uint32_t>& words) {
  std::ostringstream out;
  for (std::size_t i = 0; i < words.size(); ++i)
    out << (i % 8 == 0 ? "\n    " : " ") << "0x" << std::hex << words[i] << ",";
  return out.str();
}

std::string quoted(const std::string& text) { return "\"" + text + "\""; }

// --- routing variants --------------------------------------------------------

struct tRouteLine {
  uint32_t group, destination, source, routeId, value;
};

std::string variantTables(const std::filesystem::path& path) {
  std::string module = "n";
  module += path.stem().string();
  std::vector<tLine> lines;
  readLines(path, lines);

  std::vector<uint32_t> groupSizes, tags;
  uint32_t terminalCount = 0;
  tPlace terminalPlace{path.string(), 0};
  std::map<std::string, std::pair<std::string, uint32_t>> names;  // lower -> name, number
  std::vector<tRouteLine> routes;
  std::vector<uint32_t> groupFill;
  uint32_t highest = 0;
  for (const tLine& line : lines) {
    const auto& w = line.words;
    if (w[0] == "groups") {
      for (std::size_t i = 1; i < w.size(); ++i) groupSizes.push_back(number(line.place, w[i]));
      groupFill.assign(groupSizes.size(), 0);
    } else if (w[0] == "tags") {
      for (std::size_t i = 1; i < w.size(); ++i) tags.push_back(number(line.place, w[i]));
    } else if (w[0] == "terminals" && w.size() == 2) {
      terminalCount = number(line.place, w[1]);
      terminalPlace = line.place;
    } else if (w[0] == "terminal" && w.size() == 3) {
      const uint32_t terminal = number(line.place, w[2]);
      if (!names.emplace(lower(w[1]), std::pair{w[1], terminal}).second)
        fail(line.place, "duplicate terminal name " + w[1]);
      highest = std::max(highest, terminal);
    } else if (w[0] == "route" && w.size() == 6) {
      tRouteLine route{};
      uint32_t* fields[] = {&route.group, &route.destination, &route.source, &route.routeId,
                            &route.value};
      for (int i = 0; i < 5; ++i) *fields[i] = number(line.place, w[i + 1]);
      if (route.group >= groupSizes.size()) fail(line.place, "no such group");
      if (++groupFill[route.group] > groupSizes[route.group]) fail(line.place, "group overfull");
      if ((route.routeId & 0x1FFFFFF) > kLastTavikRegister)
        fail(line.place, "register above " + std::to_string(kLastTavikRegister));
      routes.push_back(route);
    } else {
      fail(line.place, "unknown line");
    }
  }
  if (groupSizes.empty()) fail({path.string(), 0}, "no groups line");
  if (names.empty() || highest + 1 != terminalCount)
    fail(terminalPlace, "highest terminal number + 1 is " + std::to_string(highest + 1) +
                            ", not the terminal count " + std::to_string(terminalCount));

  // The topography: G, the group starts, the names sorted without case, T,
  // then the routes as (destination, source) pairs.
  std::vector<uint8_t> topography;
  put(topography, static_cast<uint32_t>(groupSizes.size()));
  std::vector<uint32_t> starts;
  uint32_t start = 0;
  for (uint32_t size : groupSizes) {
    starts.push_back(start);
    put(topography, start);
    start += size;
  }
  put(topography, static_cast<uint32_t>(names.size()));
  for (const auto& [key, entry] : names) {
    put(topography, static_cast<uint32_t>(entry.first.size()));
    topography.insert(topography.end(), entry.first.begin(), entry.first.end());
    put(topography, entry.second);
  }
  put(topography, terminalCount);
  put(topography, static_cast<uint32_t>(routes.size()));
  for (const tRouteLine& route : routes) {
    put(topography, route.destination);
    put(topography, route.source);
  }

  // The routing-node table: each group's entries in a run of its size.
  std::vector<uint32_t> entries(std::size_t{start} * kEntryWords, 0);
  std::vector<uint32_t> used(groupSizes.size(), 0);
  std::set<uint32_t> identifiers;
  for (const tRouteLine& route : routes) {
    uint32_t* entry =
        &entries[std::size_t{starts[route.group] + used[route.group]++} * kEntryWords];
    entry[0] = route.destination;
    entry[1] = route.source;
    entry[2] = route.routeId;
    entry[3] = route.value;
    identifiers.insert(route.routeId);
  }
  std::vector<uint8_t> nodeBytes;
  for (uint32_t word : entries) put(nodeBytes, word);

  const auto topographyPacked = pack(topography);
  const auto nodePacked = pack(nodeBytes);
  std::ostringstream out;
  out << "namespace " << module << " {\nnamespace {\nconst uint8_t kTopographyBytes[] = {"
      << byteArray(topographyPacked) << "\n};\nconst uint32_t kTags[] = {" << wordArray(tags)
      << "\n};\nconst uint8_t kNodeBytes[] = {" << byteArray(nodePacked)
      << "\n};\nconst uint32_t kIdentifiers[] = {"
      << wordArray({identifiers.begin(), identifiers.end()}) << "\n};\n}  // namespace\n\n";
  out << "const nQoUdR100::tPackedTable kTopographyTable = {0x" << std::hex << kVersion << std::dec
      << ", " << topography.size() << ", kTopographyBytes, sizeof kTopographyBytes, kTags, "
      << tags.size() << "};\n";
  out << "const nQoUdR100::tPackedTable kRoutingNodeTable = {0x" << std::hex << kVersion << std::dec
      << ", " << nodeBytes.size() << ", kNodeBytes, sizeof kNodeBytes, kIdentifiers, "
      << identifiers.size() << "};\n";
  out << "const nQoUdR100::tNodeLayout kNodeLayout = {" << terminalCount << ", "
      << groupSizes.size() << ", {";
  for (std::size_t g = 0; g < groupSizes.size(); ++g)
    out << "{" << starts[g] * kEntryWords * 4 << ", " << groupSizes[g] << "}, ";
  out << "}};\n}  // namespace " << module << "\n\n";
  return out.str();
}

// --- models ------------------------------------------------------------------

// A physical value in engineering notation: the mantissa and a power-of-ten
// exponent in steps of 3.
struct tEngineering {
  int64_t mantissa = 0;
  int exponent = 0;
};

// A decimal number such as -10 or 0.2, exactly, with the exponent a multiple of 3.
tEngineering engineering(const tPlace& place, const std::string& text) {
  std::size_t i = text[0] == '-' ? 1 : 0;
  const std::size_t point = text.find('.');
  const std::string digits =
      text.substr(i, point == std::string::npos ? std::string::npos : point - i) +
      (point == std::string::npos ? "" : text.substr(point + 1));
  const bool clean = !digits.empty() && digits.size() <= 9 &&
                     std::all_of(digits.begin(), digits.end(), ::isdigit) &&
                     (point == std::string::npos || point > i);
  if (!clean) fail(place, "not a value in volts: " + text);
  tEngineering value{std::stoll(digits),
                     point == std::string::npos ? 0 : -static_cast<int>(text.size() - point - 1)};
  for (; value.exponent % 3 != 0; --value.exponent) value.mantissa *= 10;
  if (value.mantissa > 0x7FFFFFFF) fail(place, "value out of range: " + text);
  if (i == 1) value.mantissa = -value.mantissa;
  return value;
}

// One row of the AI front end's range-code table: low and high in volts, the
// gain code, the polarity code.
struct tRangeRow {
  tEngineering low, high;
  uint32_t gain, polarity;
};

tRangeRow rangeRow(const tLine& line) {
  const auto& w = line.words;
  if (w.size() != 5) fail(line.place, "range needs low, high, gain code and polarity code");
  tRangeRow row{engineering(line.place, w[1]), engineering(line.place, w[2]),
                number(line.place, w[3]), number(line.place, w[4])};
  if (row.gain > 0xFFFF || row.polarity > 0xFFFF) fail(line.place, "code above 0xFFFF");
  return row;
}

// The range-code table that every AI front end shares; unit code 1 (volts).
std::string rangeTable(const std::vector<tRangeRow>& rows) {
  std::ostringstream out;
  for (std::size_t i = 0; i < rows.size(); ++i)
    out << "const nQoUdRLP100::tInterval kAIRange" << i << " = {{" << rows[i].low.mantissa << ", "
        << rows[i].low.exponent << ", 1}, {" << rows[i].high.mantissa << ", "
        << rows[i].high.exponent << ", 1}};\n";
  out << "const tAIRangeCode kAIRangeRows[] = {";
  for (std::size_t i = 0; i < rows.size(); ++i)
    out << "{&kAIRange" << i << ", " << rows[i].gain << ", " << rows[i].polarity << "}, ";
  out << "{nullptr, 0, 0}};\nconst tAIFrontEndCaps kAIFrontEndCaps = {kAIRangeRows, nullptr};\n"
         "const tAIFrontEndRangeCodes kAIRangeCodes(&kAIFrontEndCaps);\n\n";
  return out.str();
}

// The registrar class of each routing variant.
const std::map<std::string, std::string> kRegistrars = {
    {"NoRIVO37", "nQoUdR100::tNoRIVO37PinRoutableRegistrar"},
    {"NoRIVO68", "nQoUdR100::tNoRIVORoutableRegistrar"},
    {"PXI37", "nQoUdR100::tPXI37PinRoutableRegistrar"},
    {"PXI68", "nQoUdR100::tPXIRoutableRegistrar"},
    {"RIVO37", "nQoUdR100::tRIVO37PinRoutableRegistrar"},
    {"RIVO68", "nQoUdR100::tRIVORoutableRegistrar"},
};

// A model line: name, id, variant, then key=value settings over the defaults.
struct tModel {
  std::string name;
  uint32_t id = 0;
  std::string registrar;
  std::map<std::string, std::vector<uint32_t>> keys = {
      {"bus", {2}},          {"pll", {0}},           {"trigbus", {0}}, {"ai", {1}},
      {"ao", {1}},           {"cdio", {1}},          {"dio", {1}},     {"link", {1}},
      {"portkinds", {1, 1}}, {"portwords", {8, 16}}, {"map", {1}},     {"channels", {16}},
      {"unsupported", {0}},  {"widths", {32, 8, 8}},
  };
  uint32_t key(const char* name, std::size_t i = 0) const { return keys.at(name).at(i); }
};

tModel model(const tLine& line) {
  const auto& w = line.words;
  if (w.size() < 4) fail(line.place, "model needs a name, an id and a variant");
  tModel model;
  model.name = w[1];
  model.id = number(line.place, w[2]);
  auto registrar = kRegistrars.find(w[3]);
  if (registrar == kRegistrars.end()) fail(line.place, "unknown variant " + w[3]);
  model.registrar = registrar->second;
  for (std::size_t i = 4; i < w.size(); ++i) {
    const auto equals = w[i].find('=');
    auto setting = model.keys.find(w[i].substr(0, equals));
    if (equals == std::string::npos || setting == model.keys.end())
      fail(line.place, "unknown setting " + w[i]);
    std::vector<uint32_t> values;
    std::istringstream split(w[i].substr(equals + 1));
    for (std::string value; std::getline(split, value, ',');)
      values.push_back(number(line.place, value));
    if (values.size() != setting->second.size()) fail(line.place, "wrong count in " + w[i]);
    setting->second = values;
  }
  return model;
}

std::string modelParts(const tModel& m, std::size_t i) {
  const std::string p = "kModel" + std::to_string(i);
  std::ostringstream out;
  if (m.key("ai"))
    out << "const nQoUdP100::tAIChannelDescription " << p << "Channels = {0, " << m.key("channels")
        << "};\nconst nQoUdP100::tAIConverterDescription " << p << "Converter = {0, &" << p
        << "Channels};\nconst nQoUdP100::tAIFrontEndDescription " << p
        << "FrontEnd = {.rangeCodes = &kAIRangeCodes, .converter = &" << p
        << "Converter};\nconst nQoUdP100::tAIDescription " << p << "AI = {nullptr, &" << p
        << "FrontEnd, &kTrigger, &kAllTransfers, kAINames, &kAIFIFO, &kAISamples, &kAITiming};\n";
  out << "const nQoUdP100::tDIODescription " << p << "DIO = {" << m.key("dio") << ", "
      << m.key("link") << ", {{" << m.key("portkinds", 0) << ", " << m.key("portwords", 0) << "}, {"
      << m.key("portkinds", 1) << ", " << m.key("portwords", 1) << "}}, {" << m.key("widths", 0)
      << ", " << m.key("widths", 1) << ", " << m.key("widths", 2) << "}};\n";
  out << "const nQoUdP100::tCalibrationDescription " << p << "Calibration = {&kEEPROM, "
      << m.key("map") << ", 0};\n";
  out << "const nQoUdP100::tRoutingDescription " << p << "Routing = {" << quoted(m.registrar)
      << ", " << m.key("trigbus") << ", 1};\n";
  out << "const nQoUdR100::tProductKind " << p << "Bus = {" << m.key("bus") << "};\n\n";
  return out.str();
}

std::string modelRecord(const tModel& m, std::size_t i) {
  const std::string p = "&kModel" + std::to_string(i);
  const bool pxi = m.key("bus") == 7;
  std::ostringstream out;
  out << "    {.name = " << quoted(m.name) << ", .productId = 0x" << std::hex << m.id << std::dec
      << ", .deviceTag = kDeviceTag, .familyCode = kFamilyCode, .subFamilyCode = "
      << (pxi ? "kPXIFamilyCode" : "0") << ",\n     .helpTopic = " << quoted(m.name + " pinout")
      << ", .ai = " << (m.key("ai") ? p + "AI" : "nullptr")
      << ", .ao = " << (m.key("ao") ? "&kAO" : "nullptr") << ", .dio = " << p << "DIO"
      << ", .calibration = " << p << "Calibration, .device = &kDevice, .routing = " << p
      << "Routing,\n     .cdio = " << (m.key("cdio") ? "&kCDIO" : "nullptr")
      << ", .lineFilters = &kLineFilters, .unsupportedVariant = " << m.key("unsupported")
      << ", .busDescriptor = " << p << "Bus, .listedFlag = 1, .familyCodeAgain = kFamilyCode"
      << ", .hasPLL = " << m.key("pll") << ", .secondName = " << quoted(m.name) << "},\n";
  return out.str();
}

std::string modelTables(const std::filesystem::path& path) {
  std::vector<tLine> lines;
  readLines(path, lines);
  std::vector<tModel> models;
  std::vector<tRangeRow> ranges;
  std::ostringstream counters;
  std::size_t counterCount = 0;
  std::set<uint32_t> ids;
  for (const tLine& line : lines) {
    const auto& w = line.words;
    if (w[0] == "model") {
      models.push_back(model(line));
      if (!ids.insert(models.back().id).second) fail(line.place, "duplicate product id");
    } else if (w[0] == "range") {
      ranges.push_back(rangeRow(line));
    } else if (w[0] == "counter" && w.size() >= 3) {
      const std::string list = "kCounterList" + std::to_string(counterCount);
      std::vector<uint32_t> listed;
      for (std::size_t i = 3; i < w.size(); ++i) listed.push_back(number(line.place, w[i]));
      listed.push_back(0);
      counters << "const uint32_t " << list << "[] = {" << wordArray(listed) << "};\n";
      counters << "const nQoUdR100::tCounterProductDescriptor kCounterRow" << counterCount << " = {"
               << quoted(w[1]) << ", " << number(line.place, w[2])
               << "u, {kFamilyCode, kCounterTag, 0}, {0, 0, 0, 0}, " << list
               << ", nullptr, {nullptr, nullptr}};\n";
      ++counterCount;
    } else {
      fail(line.place, "unknown line");
    }
  }
  std::ostringstream out;
  out << "namespace nQoUdR100 {\nnamespace {\n" << rangeTable(ranges);
  for (std::size_t i = 0; i < models.size(); ++i) out << modelParts(models[i], i);
  out << counters.str() << "}  // namespace\n\n";
  out << "const tProductDescriptor kCapabilityRecords[] = {\n";
  for (std::size_t i = 0; i < models.size(); ++i) out << modelRecord(models[i], i);
  out << "};\nconst tProductDescriptor* const kCapabilityTable[] = {";
  for (std::size_t i = 0; i < models.size(); ++i) out << "&kCapabilityRecords[" << i << "], ";
  out << "};\nconst std::size_t kCapabilityCount = " << models.size() << ";\n\n";
  out << "const tCounterProductDescriptor* const kCounterProductRows[] = {";
  for (std::size_t i = 0; i < counterCount; ++i) out << "&kCounterRow" << i << ", ";
  out << "};\nconst std::size_t kCounterProductCount = " << counterCount
      << ";\nconst tCounterProductDescriptor* gCounterProductTable[" << counterCount
      << "] = {};\n}  // namespace nQoUdR100\n";
  return out.str();
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: boardgen <output.cpp> <models.txt> <variant.txt>...\n");
    return 2;
  }
  std::ostringstream out;
  out << "// Generated by tools/boardgen from src/device/boards/; edit the text there.\n"
         "#include \"device/boardTables.h\"\n#include \"device/boards/sharedParts.h\"\n\n";
  for (int i = 3; i < argc; ++i) out << variantTables(argv[i]);
  out << modelTables(argv[2]);
  const std::string text = out.str();
  // Rewrite only on change, so an unchanged table does not rebuild the library.
  std::ifstream old(argv[1]);
  std::stringstream oldText;
  oldText << old.rdbuf();
  if (old && oldText.str() == text) return 0;
  std::ofstream file(argv[1]);
  file << text;
  return file ? 0 : 1;
}
