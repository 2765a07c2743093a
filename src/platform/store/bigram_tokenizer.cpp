#include "platform/store/bigram_tokenizer.h"

#include <cstddef>
#include <string>

namespace store {
namespace {

// Bytes of the UTF-8 sequence that starts with `lead`; a stray byte counts as one character.
std::size_t SequenceLength(unsigned char lead) {
    if (lead >= 0xF0 && lead < 0xF8) return 4;
    if (lead >= 0xE0) return lead < 0xF0 ? 3 : 1;
    if (lead >= 0xC0) return 2;
    return 1;
}

struct Character {
    int start;
    int length;
};

// The tokenizer holds no state: one shared dummy object stands for every instance.
int Create(void* /*context*/, const char** /*arguments*/, int /*count*/, Fts5Tokenizer** out) {
    static char instance;
    *out = reinterpret_cast<Fts5Tokenizer*>(&instance);
    return SQLITE_OK;
}

void Delete(Fts5Tokenizer* /*tokenizer*/) {}

int Tokenize(Fts5Tokenizer* /*tokenizer*/, void* context, int flags, const char* text, int size,
             int (*emit)(void*, int, const char*, int, int, int)) {
    if (text == nullptr || size <= 0) return SQLITE_OK;
    const auto* bytes = reinterpret_cast<const unsigned char*>(text);
    auto characterAt = [&](int offset) {
        int length = static_cast<int>(SequenceLength(bytes[offset]));
        if (offset + length > size) length = size - offset;
        return Character{offset, length};
    };
    // A query of several characters is the phrase of its pairs; a trailing single character
    // would then ask for the end of a text.
    const bool query = (flags & FTS5_TOKENIZE_QUERY) != 0;
    Character current = characterAt(0);
    const bool several = current.length < size;
    char token[8];
    while (true) {
        const int nextStart = current.start + current.length;
        int tokenLength = current.length;
        if (nextStart < size) {
            Character next = characterAt(nextStart);
            tokenLength += next.length;
            for (int i = 0; i < tokenLength; ++i) {
                unsigned char c = bytes[current.start + i];
                token[i] = static_cast<char>(c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c);
            }
            int rc = emit(context, 0, token, tokenLength, current.start, nextStart + next.length);
            if (rc != SQLITE_OK) return rc;
            current = next;
            continue;
        }
        if (query && several) return SQLITE_OK;
        for (int i = 0; i < tokenLength; ++i) {
            unsigned char c = bytes[current.start + i];
            token[i] = static_cast<char>(c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c);
        }
        return emit(context, 0, token, tokenLength, current.start, nextStart);
    }
}

fts5_api* Fts5Api(sqlite3* db) {
    fts5_api* api = nullptr;
    sqlite3_stmt* statement = nullptr;
    if (sqlite3_prepare_v2(db, "SELECT fts5(?1)", -1, &statement, nullptr) != SQLITE_OK) {
        return nullptr;
    }
    sqlite3_bind_pointer(statement, 1, &api, "fts5_api_ptr", nullptr);
    sqlite3_step(statement);
    sqlite3_finalize(statement);
    return api;
}

}  // namespace

int RegisterBigramTokenizer(sqlite3* db) {
    fts5_api* api = Fts5Api(db);
    if (api == nullptr) return SQLITE_ERROR;
    fts5_tokenizer tokenizer{Create, Delete, Tokenize};
    return api->xCreateTokenizer(api, kBigramTokenizerName, nullptr, &tokenizer, nullptr);
}

std::string BigramMatchQuery(const std::string& keyword) {
    std::string query = "\"";
    for (char c : keyword) {
        if (c == '"') query += '"';
        query += c;
    }
    query += '"';
    // One character: every token that starts with it.
    if (SequenceLength(static_cast<unsigned char>(keyword[0])) >= keyword.size()) query += "*";
    return query;
}

}  // namespace store
