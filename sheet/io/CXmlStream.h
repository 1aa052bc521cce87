#pragma once

#include <memory>
#include <string>
#include <string_view>

struct XML_ParserStruct;

namespace zrv::sheet {

class CZipPackage;

// An expat stream parser with namespace processing: element and attribute
// names reach the handler as "namespace-uri|local-name". A document type
// declaration (and with it every entity definition) is refused, so no entity
// is ever expanded. Errors throw CReadError naming `what`.
class CXmlStream final {
public:
    class Handler {
    public:
        virtual ~Handler() = default;
        // attributes: name, value, name, value, ..., nullptr
        virtual void Start(std::string_view name, const char** attributes) = 0;
        virtual void End(std::string_view name) = 0;
        virtual void Text(std::string_view text) = 0;
    };

    CXmlStream(Handler& handler, std::string what);
    ~CXmlStream();
    CXmlStream(const CXmlStream&) = delete;
    CXmlStream& operator=(const CXmlStream&) = delete;

    void Feed(std::string_view chunk);
    void Finish();

    static const char* Attribute(const char** attributes, std::string_view name);
    // A name without its namespace, and the first attribute with that local name.
    static std::string_view LocalName(std::string_view name);
    static const char* LocalAttribute(const char** attributes, std::string_view local);

    // Parses a whole document: `xml`, or the entry `part` of a package.
    static void Parse(std::string_view xml, const std::string& what, Handler& handler);
    static void ParsePart(const CZipPackage& package, const std::string& part, Handler& handler);

    struct Context; // what expat's callbacks see; defined in the .cpp

private:
    void ParseChunk(const char* data, int length, bool final);

    struct Deleter {
        void operator()(XML_ParserStruct* parser) const;
    };
    std::unique_ptr<XML_ParserStruct, Deleter> m_parser;
    std::unique_ptr<Context> m_context;
    std::string m_what;
    bool m_refused = false;
};

} // namespace zrv::sheet
