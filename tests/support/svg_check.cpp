#include "support/svg_check.hpp"

#include <expat.h>

#include <memory>
#include <stdexcept>

namespace varnet::testing {
namespace {

// The elements read so far, and the path of those still open.
struct Gathered {
    std::vector<XmlElement> elements;
    std::vector<std::size_t> open;
};

void XMLCALL started(void* data, const XML_Char* name, const XML_Char** attributes) {
    Gathered& gathered = *static_cast<Gathered*>(data);
    XmlElement element;
    element.name = name;
    for (; *attributes != nullptr; attributes += 2)
        element.attributes[attributes[0]] = attributes[1];
    if (!gathered.open.empty()) element.parent = gathered.open.back();
    gathered.open.push_back(gathered.elements.size());
    gathered.elements.push_back(std::move(element));
}

void XMLCALL ended(void* data, const XML_Char*) {
    static_cast<Gathered*>(data)->open.pop_back();
}

void XMLCALL characters(void* data, const XML_Char* text, int length) {
    Gathered& gathered = *static_cast<Gathered*>(data);
    gathered.elements[gathered.open.back()].text.append(text, static_cast<std::size_t>(length));
}

}  // namespace

std::vector<XmlElement> elementsOfSvg(const std::string& text) {
    const std::unique_ptr<XML_ParserStruct, decltype(&XML_ParserFree)> parser(
        XML_ParserCreate("UTF-8"), XML_ParserFree);
    Gathered gathered;
    XML_SetUserData(parser.get(), &gathered);
    XML_SetElementHandler(parser.get(), started, ended);
    XML_SetCharacterDataHandler(parser.get(), characters);
    if (XML_Parse(parser.get(), text.data(), static_cast<int>(text.size()), XML_TRUE) !=
        XML_STATUS_OK) {
        throw std::runtime_error("XML offset " +
                                 std::to_string(XML_GetCurrentByteIndex(parser.get())) + ": " +
                                 XML_ErrorString(XML_GetErrorCode(parser.get())));
    }
    return std::move(gathered.elements);
}

std::vector<std::string> textsOfSvgClass(const std::string& text, const std::string& elementClass) {
    std::vector<std::string> texts;
    for (const XmlElement& element : elementsOfSvg(text)) {
        if (element.attribute("class") == elementClass) texts.push_back(element.text);
    }
    return texts;
}

}  // namespace varnet::testing
