// A small JSON reader and writer for the results lines (one game per line): null, booleans,
// numbers, strings, arrays and objects, with no library behind it. The reader takes any
// bytes, since result files may be cut short or edited by hand, and never recurses deeper
// than JSON_MAX_DEPTH.
#pragma once

#include <string>
#include <utility>
#include <vector>

constexpr int JSON_MAX_DEPTH = 32;

enum class JsonKind { null, boolean, number, string, array, object };

struct JsonValue {
    JsonKind kind = JsonKind::null;
    bool boolean = false;
    double number = 0;
    std::string text;
    std::vector<JsonValue> items;                           // an array's elements
    std::vector<std::pair<std::string, JsonValue>> members; // an object's, in order
};

// Parses one complete JSON text (white space around it allowed); false on any error.
bool parse_json(const std::string& text, JsonValue& value);

// The member of an object with the given key, or nullptr.
const JsonValue* json_member(const JsonValue& object, const char* key);

// Compact JSON text of a value: integers without a fraction, strings escaped so that the
// text is one line of plain ASCII besides the bytes of the strings themselves.
std::string write_json(const JsonValue& value);

// Builders for writing.
JsonValue json_number(double number);
JsonValue json_string(std::string text);
JsonValue json_array();
JsonValue json_object();
void json_add(JsonValue& object, const char* key, JsonValue value);
