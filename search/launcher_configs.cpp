#include "search/launcher_configs.h"

#include <yaml.h>

#include <nlohmann/json.hpp>

namespace tolvaren {
namespace {

using Json = nlohmann::json;

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
        if (value->type != YAML_SCALAR_NODE) return std::nullopt;
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
// is no launcher's, and would use up the stack.
constexpr int kMaxJsonDepth = 64;

void CollectStringsNamed(const Json& value, std::string_view key, List<Text>& strings, int depth = 0) {
    if (depth == kMaxJsonDepth) return;
    if (value.is_object()) {
        for (auto item = value.begin(); item != value.end(); ++item) {
            if (item.key() == key && item->is_string()) strings.emplace_back(item->get_ref<const std::string&>());
            else CollectStringsNamed(*item, key, strings, depth + 1);
        }
    } else if (value.is_array()) {
        for (const Json& item : value) CollectStringsNamed(item, key, strings, depth + 1);
    }
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
    const Json document = Json::parse(json.begin(), json.end(), nullptr, /*allow_exceptions=*/false);
    if (document.is_discarded()) return Outcome(Reason::Malformed, "not well-formed JSON");
    List<Text> strings;
    CollectStringsNamed(document, key, strings);
    return strings;
}

}  // namespace tolvaren
