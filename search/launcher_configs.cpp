#include "search/launcher_configs.h"

#include <yaml.h>

#include <algorithm>

#include <nlohmann/json.hpp>

namespace tolvaren {
namespace {

using Json = nlohmann::json;

// A plain "", "~" or "null" is YAML's null: Lutris reads no value there.
bool IsNull(const yaml_node_t& scalar) {
    if (scalar.data.scalar.style != YAML_PLAIN_SCALAR_STYLE) return false;
    const std::string_view text(reinterpret_cast<const char*>(scalar.data.scalar.value), scalar.data.scalar.length);
    return text.empty() || text == "~" || text == "null" || text == "Null" || text == "NULL";
}

// The scalar under `key` in the mapping `node`, where there is one.
std::optional<Text> ScalarNamed(yaml_document_t& document, yaml_node_t* node, std::string_view key) {
    if (node == nullptr || node->type != YAML_MAPPING_NODE) return std::nullopt;
    for (yaml_node_pair_t* pair = node->data.mapping.pairs.start; pair < node->data.mapping.pairs.top; ++pair) {
        const yaml_node_t* name = yaml_document_get_node(&document, pair->key);
        yaml_node_t* value = yaml_document_get_node(&document, pair->value);
        if (name == nullptr || name->type != YAML_SCALAR_NODE || value == nullptr) continue;
        const std::string_view nameText(reinterpret_cast<const char*>(name->data.scalar.value),
                                        name->data.scalar.length);
        if (nameText != key) continue;
        if (value->type != YAML_SCALAR_NODE || IsNull(*value)) return std::nullopt;
        return Text(reinterpret_cast<const char*>(value->data.scalar.value), value->data.scalar.length);
    }
    return std::nullopt;
}

// The mapping under `key` in the mapping `node`.
yaml_node_t* MappingNamed(yaml_document_t& document, yaml_node_t* node, std::string_view key) {
    if (node == nullptr || node->type != YAML_MAPPING_NODE) return nullptr;
    for (yaml_node_pair_t* pair = node->data.mapping.pairs.start; pair < node->data.mapping.pairs.top; ++pair) {
        const yaml_node_t* name = yaml_document_get_node(&document, pair->key);
        if (name != nullptr && name->type == YAML_SCALAR_NODE &&
            std::string_view(reinterpret_cast<const char*>(name->data.scalar.value), name->data.scalar.length) == key)
            return yaml_document_get_node(&document, pair->value);
    }
    return nullptr;
}

// The launchers' keys lie a few levels down; a file nested deeper than this
// is no launcher's.
constexpr std::size_t kMaxJsonDepth = 64;

// Collects the strings under one key as the parser meets them, building no
// document: memory stays small however the file is made.
class StringsNamed final : public nlohmann::json_sax<Json> {
public:
    StringsNamed(std::string_view key, List<Text>& found) : key_(key), found_(found) {}

    bool null() override { return Value(); }
    bool boolean(bool) override { return Value(); }
    bool number_integer(number_integer_t) override { return Value(); }
    bool number_unsigned(number_unsigned_t) override { return Value(); }
    bool number_float(number_float_t, const string_t&) override { return Value(); }
    bool binary(binary_t&) override { return Value(); }
    bool string(string_t& value) override {
        if (named_) found_.emplace_back(value);
        return Value();
    }
    bool key(string_t& name) override {
        named_ = name == key_;
        return true;
    }
    bool start_object(std::size_t) override { return Deeper(); }
    bool start_array(std::size_t) override { return Deeper(); }
    bool end_object() override { return Shallower(); }
    bool end_array() override { return Shallower(); }
    bool parse_error(std::size_t position, const std::string&, const nlohmann::detail::exception&) override {
        failedAt_ = position;
        return false;
    }

    // Where the text stopped being JSON (0: it did not), or nested too deep.
    std::size_t FailedAt() const { return failedAt_; }
    bool TooDeep() const { return depth_ > kMaxJsonDepth; }

private:
    bool Value() {
        named_ = false;
        return true;
    }
    bool Deeper() {
        Value();
        return ++depth_ <= kMaxJsonDepth;
    }
    bool Shallower() {
        --depth_;
        return true;
    }

    std::string_view key_;
    List<Text>& found_;
    bool named_ = false;  // the last key was `key_`: its value is wanted
    std::size_t depth_ = 0;
    std::size_t failedAt_ = 0;
};

// "line 3" of the byte at `position` (from 1).
Text LineOf(std::string_view text, std::size_t position) {
    const std::size_t before = std::min(position, text.size());
    return "line " + DecimalText(static_cast<long long>(1 + std::count(text.begin(), text.begin() + before, '\n')));
}

}  // namespace

Result<LutrisGame> ReadLutrisGame(std::string_view yml) {
    yaml_parser_t parser;
    if (!yaml_parser_initialize(&parser)) return Reason::OutOfMemory;
    yaml_parser_set_input_string(&parser, reinterpret_cast<const unsigned char*>(yml.data()), yml.size());
    yaml_document_t document;
    const bool loaded = yaml_parser_load(&parser, &document) != 0;
    Result<LutrisGame> game = Outcome(Reason::Malformed, "line " + DecimalText(static_cast<long long>(
                                                                       parser.problem_mark.line + 1)) +
                                                             ": " + (parser.problem ? parser.problem : "not YAML"));
    if (loaded) {
        yaml_node_t* section = MappingNamed(document, yaml_document_get_root_node(&document), "game");
        game = LutrisGame{ScalarNamed(document, section, "prefix"), ScalarNamed(document, section, "exe")};
        yaml_document_delete(&document);
    }
    yaml_parser_delete(&parser);
    return game;
}

Result<List<Text>> JsonStringsNamed(std::string_view json, std::string_view key) {
    List<Text> strings;
    StringsNamed collector(key, strings);
    if (Json::sax_parse(json.begin(), json.end(), &collector)) return strings;
    if (collector.TooDeep())
        return Outcome(Reason::Malformed, "nested more than " + DecimalText(kMaxJsonDepth) + " levels deep");
    return Outcome(Reason::Malformed, LineOf(json, collector.FailedAt()) + ": not well-formed JSON");
}

}  // namespace tolvaren
