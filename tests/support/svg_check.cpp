#include "support/svg_check.hpp"

#include <expat.h>

#include <memory>
#include <stdexcept>
#include <utility>

namespace varnet::testing {
namespace {

// The texts gathered while Expat parses: one per element of the class, its own character data
// (not that of the elements inside it).
struct Gathered {
    std::string elementClass;
    std::vector<std::pair<bool, std::string>> open;  // per open element: of the class?, its text
    std::vector<std::string> texts;
};

void XMLCALL started(void* data, const XML_Char*, const XML_Char** attributes) {
    Gathered& gathered = *static_cast<Gathered*>(data);
    bool ofClass = false;
    for (; *attributes != nullptr; attributes += 2)
        ofClass = ofClass ||
                  (std::string(attributes[0]) == "class" && attributes[1] == gathered.elementClass);
    gathered.open.emplace_back(ofClass, "");
}

void XMLCALL ended(void* data, const XML_Char*) {
    Gathered& gathered = *static_cast<Gathered*>(data);
    if (gathered.open.back().first) gathered.texts.push_back(gathered.open.back().second);
    gathered.open.pop_back();
}

void XMLCALL characters(void* data, const XML_Char* text, int length) {
    Gathered& gathered = *static_cast<Gathered*>(data);
    gathered.open.back().second.append(text, static_cast<std::size_t>(length));
}

}  // namespace

std::vector<std::string> leafLabelsOfSvg(const std::string& text) {
    return textsOfSvgClass(text, "leaf");
}

std::vector<std::string> textsOfSvgClass(const std::string& text, const std::string& elementClass) {
    const std::unique_ptr<XML_ParserStruct, decltype(&XML_ParserFree)> parser(
        XML_ParserCreate("UTF-8"), XML_ParserFree);
    Gathered gathered{elementClass, {}, {}};
    XML_SetUserData(parser.get(), &gathered);
    XML_SetElementHandler(parser.get(), started, ended);
    XML_SetCharacterDataHandler(parser.get(), characters);
    if (XML_Parse(parser.get(), text.data(), static_cast<int>(text.size()), XML_TRUE) !=
        XML_STATUS_OK) {
        throw std::runtime_error("XML offset " +
                                 std::to_string(XML_GetCurrentByteIndex(parser.get())) + ": " +
                                 XML_ErrorString(XML_GetErrorCode(parser.get())));
    }
    return gathered.texts;
}

}  // namespace varnet::testing
