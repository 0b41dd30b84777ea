// The REGEDIT4 document: any text is written back byte for byte, and a value
// set in it reads back as set while every other value and key stays as it was.
// The input is the text; the change to make is drawn from the same bytes.

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "platform/text.h"
#include "registry/regedit_document.h"
#include "registry/registry_constants.h"

namespace {

using namespace vantrel::registry;
using regedit::Document;
using regedit::KeyPath;
using regedit::Value;
using vantrel::platform::asciiLower;

[[noreturn]] void fail(const char* what) {
    std::fprintf(stderr, "regedit document: %s\n", what);
    std::abort();
}

// Keys and value names as reads find them, whatever their spelling.
std::string idOf(const KeyPath& key) {
    std::string id = std::to_string(key.root);
    for (const std::string& name : key.names) (id += '\\') += name;
    for (char& c : id) c = asciiLower(c);
    return id;
}

std::string idOf(const KeyPath& key, const std::string& name) {
    std::string id = idOf(key) + '\n' + name;
    for (char& c : id) c = asciiLower(c);
    return id;
}

// What reads see of a document: its keys, and each value as its last occurrence.
struct Readable {
    std::set<std::string> keys;
    std::map<std::string, Value> values;
    std::vector<KeyPath> keyList;
    std::map<std::string, std::vector<std::string>> namesOf;
};

Readable readable(const Document& doc) {
    Readable seen;
    doc.forEach([&](const KeyPath& key, const Value* value) {
        if (value == nullptr) {
            if (seen.keys.insert(idOf(key)).second) seen.keyList.push_back(key);
        } else {
            seen.values[idOf(key, value->name)] = *value;
            seen.namesOf[idOf(key)].push_back(value->name);
        }
    });
    return seen;
}

// A name the store would take: no line break, nothing after a NUL, and for a
// key name no separator.
std::string storableName(FuzzedDataProvider& choice, std::size_t most, bool keyName) {
    std::string name;
    for (const char c : choice.ConsumeRandomLengthString(most)) {
        if (c == '\0') break;
        if (c != '\r' && c != '\n' && !(keyName && c == '\\')) name += c;
    }
    return name;
}

KeyPath chooseKey(FuzzedDataProvider& choice, const Readable& before) {
    if (!before.keyList.empty() && choice.ConsumeBool()) {
        return before
            .keyList[choice.ConsumeIntegralInRange<std::size_t>(0, before.keyList.size() - 1)];
    }
    KeyPath key{choice.PickValueInArray({HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER, HKEY_USERS}), {}};
    for (int depth = choice.ConsumeIntegralInRange(0, 3); depth > 0; --depth) {
        std::string name = storableName(choice, 8, true);
        if (!name.empty()) key.names.push_back(std::move(name));
    }
    return key;
}

std::string chooseName(FuzzedDataProvider& choice, const Readable& before, const KeyPath& key) {
    const auto names = before.namesOf.find(idOf(key));
    if (names != before.namesOf.end() && choice.ConsumeBool()) {
        std::string name =
            names->second[choice.ConsumeIntegralInRange<std::size_t>(0, names->second.size() - 1)];
        if (choice.ConsumeBool()) {  // another spelling of the same name
            for (char& c : name) c = c >= 'a' && c <= 'z' ? char(c - 'a' + 'A') : asciiLower(c);
        }
        return name;
    }
    return storableName(choice, 12, false);
}

bool sameContent(const Value& a, const Value& b) { return a.type == b.type && a.data == b.data; }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string input(reinterpret_cast<const char*>(data), size);
    Document doc(input);
    if (doc.text() != input) fail("the text read does not come back unchanged");
    const Readable before = readable(doc);

    FuzzedDataProvider choice(data, size);
    const KeyPath key = chooseKey(choice, before);
    Value value;
    value.name = chooseName(choice, before, key);
    value.type = choice.ConsumeBool() ? choice.ConsumeIntegral<std::uint32_t>()
                                      : choice.PickValueInArray({REG_SZ, REG_BINARY, REG_DWORD});
    const std::string bytes = choice.ConsumeRandomLengthString(64);
    value.data.assign(bytes.begin(), bytes.end());
    doc.set(key, value);

    const std::string written = doc.text();
    const Document after(written);
    if (after.text() != written) fail("a written text does not come back unchanged");
    const Value* found = after.find(key, value.name);
    if (found == nullptr || !sameContent(*found, value)) fail("the value set does not read back");

    Readable expected = before;
    expected.values[idOf(key, value.name)] = value;
    KeyPath level{key.root, {}};
    if (key.names.empty()) expected.keys.insert(idOf(level));
    if (!before.keys.count(idOf(key))) {
        for (const std::string& name : key.names) {
            level.names.push_back(name);
            expected.keys.insert(idOf(level));
        }
    }
    const Readable now = readable(after);
    if (now.keys != expected.keys) fail("the keys changed");
    if (now.values.size() != expected.values.size()) fail("values came or went");
    for (const auto& [id, stored] : now.values) {
        const auto was = expected.values.find(id);
        if (was == expected.values.end() || !sameContent(was->second, stored)) {
            fail("another value changed");
        }
    }
    return 0;
}
