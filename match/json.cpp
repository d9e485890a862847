#include "match/json.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

struct Reader {
    const char* at;
    const char* end;
};

// Moves past JSON white space.
void skip_space(Reader& in) {
    while (in.at < in.end && (*in.at == ' ' || *in.at == '\t' || *in.at == '\n' || *in.at == '\r'))
        ++in.at;
}

// Moves past `word` when the text continues with it; false otherwise.
bool take_word(Reader& in, const char* word) {
    const size_t length = std::strlen(word);
    if (static_cast<size_t>(in.end - in.at) < length || std::memcmp(in.at, word, length) != 0)
        return false;
    in.at += length;
    return true;
}

// Appends the UTF-8 bytes of one code point.
void append_utf8(std::string& out, unsigned code) {
    if (code < 0x80) {
        out += static_cast<char>(code);
    } else if (code < 0x800) {
        out += static_cast<char>(0xC0 | (code >> 6));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        out += static_cast<char>(0xE0 | (code >> 12));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (code >> 18));
        out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
}

// The four hex digits of a \u escape.
bool read_hex4(Reader& in, unsigned& code) {
    if (in.end - in.at < 4)
        return false;
    code = 0;
    for (int i = 0; i < 4; ++i) {
        const char c = *in.at++;
        code <<= 4;
        if (c >= '0' && c <= '9')
            code |= static_cast<unsigned>(c - '0');
        else if (c >= 'a' && c <= 'f')
            code |= static_cast<unsigned>(c - 'a' + 10);
        else if (c >= 'A' && c <= 'F')
            code |= static_cast<unsigned>(c - 'A' + 10);
        else
            return false;
    }
    return true;
}

// A string after its opening quote; a lone surrogate escape becomes U+FFFD.
bool read_string(Reader& in, std::string& out) {
    while (in.at < in.end) {
        const char c = *in.at++;
        if (c == '"')
            return true;
        if (static_cast<unsigned char>(c) < 0x20)
            return false;
        if (c != '\\') {
            out += c;
            continue;
        }
        if (in.at == in.end)
            return false;
        const char escape = *in.at++;
        const char* plain = std::strchr("\"\\/bfnrt", escape);
        if (escape != '\0' && plain) {
            out += "\"\\/\b\f\n\r\t"[plain - "\"\\/bfnrt"];
            continue;
        }
        unsigned code = 0;
        if (escape != 'u' || !read_hex4(in, code))
            return false;
        if (code >= 0xD800 && code < 0xDC00 && take_word(in, "\\u")) {
            unsigned low = 0;
            if (!read_hex4(in, low))
                return false;
            code = low >= 0xDC00 && low < 0xE000
                       ? 0x10000 + ((code - 0xD800) << 10) + (low - 0xDC00)
                       : 0xFFFD;
        } else if (code >= 0xD800 && code < 0xE000) {
            code = 0xFFFD;
        }
        append_utf8(out, code);
    }
    return false;
}

// A number as JSON writes it; false for anything strtod would take beyond that.
bool read_number(Reader& in, double& number) {
    const char* start = in.at;
    if (in.at < in.end && *in.at == '-')
        ++in.at;
    const char* digits = in.at;
    while (in.at < in.end && ((*in.at >= '0' && *in.at <= '9') || *in.at == '.' || *in.at == 'e' ||
                              *in.at == 'E' || *in.at == '+' || *in.at == '-'))
        ++in.at;
    if (in.at == digits || *digits < '0' || *digits > '9')
        return false;
    const std::string copy(start, in.at);
    char* stop = nullptr;
    number = std::strtod(copy.c_str(), &stop);
    return stop == copy.c_str() + copy.size() && std::isfinite(number);
}

// Any value; `depth` counts the arrays and objects around it.
bool read_value(Reader& in, JsonValue& value, int depth);

// The elements of an array after its "[".
bool read_array(Reader& in, JsonValue& value, int depth) {
    value.kind = JsonKind::array;
    skip_space(in);
    if (take_word(in, "]"))
        return true;
    for (;;) {
        value.items.emplace_back();
        if (!read_value(in, value.items.back(), depth + 1))
            return false;
        skip_space(in);
        if (take_word(in, "]"))
            return true;
        if (!take_word(in, ","))
            return false;
    }
}

// The members of an object after its "{".
bool read_object(Reader& in, JsonValue& value, int depth) {
    value.kind = JsonKind::object;
    skip_space(in);
    if (take_word(in, "}"))
        return true;
    for (;;) {
        skip_space(in);
        std::string key;
        if (!take_word(in, "\"") || !read_string(in, key))
            return false;
        skip_space(in);
        if (!take_word(in, ":"))
            return false;
        value.members.emplace_back(std::move(key), JsonValue{});
        if (!read_value(in, value.members.back().second, depth + 1))
            return false;
        skip_space(in);
        if (take_word(in, "}"))
            return true;
        if (!take_word(in, ","))
            return false;
    }
}

bool read_value(Reader& in, JsonValue& value, int depth) {
    if (depth > JSON_MAX_DEPTH)
        return false;
    skip_space(in);
    if (in.at == in.end)
        return false;
    switch (*in.at) {
    case '{':
        ++in.at;
        return read_object(in, value, depth);
    case '[':
        ++in.at;
        return read_array(in, value, depth);
    case '"':
        ++in.at;
        value.kind = JsonKind::string;
        return read_string(in, value.text);
    case 't':
        value.kind = JsonKind::boolean;
        value.boolean = true;
        return take_word(in, "true");
    case 'f':
        value.kind = JsonKind::boolean;
        return take_word(in, "false");
    case 'n':
        return take_word(in, "null");
    default:
        value.kind = JsonKind::number;
        return read_number(in, value.number);
    }
}

// A string in quotes with its escapes.
void write_string(std::string& out, const std::string& text) {
    out += '"';
    for (const char c : text) {
        switch (c) {
        case '"':
            out += "\\\"";
            break;
        case '\\':
            out += "\\\\";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        case '\t':
            out += "\\t";
            break;
        default:
            if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) {
                char escape[8];
                std::snprintf(escape, sizeof escape, "\\u%04x", static_cast<unsigned>(c));
                out += escape;
            } else {
                out += c;
            }
        }
    }
    out += '"';
}

// Any value, compactly.
void write_value(std::string& out, const JsonValue& value) {
    switch (value.kind) {
    case JsonKind::null:
        out += "null";
        break;
    case JsonKind::boolean:
        out += value.boolean ? "true" : "false";
        break;
    case JsonKind::number: {
        char text[32];
        if (value.number == std::floor(value.number) && std::fabs(value.number) < 1e15)
            std::snprintf(text, sizeof text, "%.0f", value.number);
        else
            std::snprintf(text, sizeof text, "%.17g", value.number);
        out += text;
        break;
    }
    case JsonKind::string:
        write_string(out, value.text);
        break;
    case JsonKind::array:
        out += '[';
        for (size_t i = 0; i < value.items.size(); ++i) {
            if (i)
                out += ',';
            write_value(out, value.items[i]);
        }
        out += ']';
        break;
    case JsonKind::object:
        out += '{';
        for (size_t i = 0; i < value.members.size(); ++i) {
            if (i)
                out += ',';
            write_string(out, value.members[i].first);
            out += ':';
            write_value(out, value.members[i].second);
        }
        out += '}';
        break;
    }
}

} // namespace

bool parse_json(const std::string& text, JsonValue& value) {
    value = JsonValue{};
    Reader in{text.data(), text.data() + text.size()};
    if (!read_value(in, value, 0))
        return false;
    skip_space(in);
    return in.at == in.end;
}

const JsonValue* json_member(const JsonValue& object, const char* key) {
    for (const auto& [name, member] : object.members)
        if (name == key)
            return &member;
    return nullptr;
}

std::string write_json(const JsonValue& value) {
    std::string out;
    write_value(out, value);
    return out;
}

JsonValue json_number(double number) {
    JsonValue value;
    value.kind = JsonKind::number;
    value.number = number;
    return value;
}

JsonValue json_string(std::string text) {
    JsonValue value;
    value.kind = JsonKind::string;
    value.text = std::move(text);
    return value;
}

JsonValue json_array() {
    JsonValue value;
    value.kind = JsonKind::array;
    return value;
}

JsonValue json_object() {
    JsonValue value;
    value.kind = JsonKind::object;
    return value;
}

void json_add(JsonValue& object, const char* key, JsonValue value) {
    object.members.emplace_back(key, std::move(value));
}
