#include "sheet/io/CXmlStream.h"

#include "sheet/io/CWorkbookBuilder.h"
#include "sheet/io/CZipPackage.h"
#include "sheet/io/WorkbookLimits.h"

#include <climits>
#include <cstring>
#include <exception>
#include <expat.h>
#include <new>

namespace zrv::sheet {

// Exceptions must not cross expat's C frames: a handler's exception is kept,
// the parser stopped, and the exception rethrown once XML_Parse returns.
struct CXmlStream::Context {
    Handler* handler;
    XML_Parser parser;
    bool* refused;
    std::exception_ptr failure;
    std::size_t depth = 0;
    bool tooDeep = false;
};

namespace {

using Context = CXmlStream::Context;

template <typename F> void Guarded(void* data, F&& f)
{
    auto* context = static_cast<Context*>(data);
    if (context->failure || context->tooDeep)
        return;
    try {
        f(*context);
    } catch (...) {
        context->failure = std::current_exception();
        XML_StopParser(context->parser, XML_FALSE);
    }
}

void OnStart(void* data, const XML_Char* name, const XML_Char** attributes)
{
    Guarded(data, [&](Context& c) {
        // expat keeps every open element: the depth bounds its memory.
        if (++c.depth > kMaxXmlDepth) {
            c.tooDeep = true;
            XML_StopParser(c.parser, XML_FALSE);
            return;
        }
        c.handler->Start(name, attributes);
    });
}

void OnEnd(void* data, const XML_Char* name)
{
    Guarded(data, [&](Context& c) {
        --c.depth;
        c.handler->End(name);
    });
}

void OnText(void* data, const XML_Char* text, int length)
{
    Guarded(data, [&](Context& c) {
        c.handler->Text(std::string_view(text, static_cast<std::size_t>(length)));
    });
}

void OnDoctype(void* data, const XML_Char*, const XML_Char*, const XML_Char*, int)
{
    auto* context = static_cast<Context*>(data);
    *context->refused = true;
    XML_StopParser(context->parser, XML_FALSE);
}

// expat's allocations fail like operator new's: the new handler first (a
// process that ends on exhaustion ends here too), else std::bad_alloc.
[[noreturn]] void OutOfMemory()
{
    if (const std::new_handler handler = std::get_new_handler())
        handler();
    throw std::bad_alloc();
}

} // namespace

void CXmlStream::Deleter::operator()(XML_ParserStruct* parser) const
{
    XML_ParserFree(parser);
}

CXmlStream::CXmlStream(Handler& handler, std::string what)
    : m_parser(XML_ParserCreateNS("UTF-8", '|')), m_what(std::move(what))
{
    if (!m_parser)
        throw std::bad_alloc();
    m_context = std::make_unique<Context>(Context{&handler, m_parser.get(), &m_refused, nullptr});
    XML_SetUserData(m_parser.get(), m_context.get());
    XML_SetElementHandler(m_parser.get(), OnStart, OnEnd);
    XML_SetCharacterDataHandler(m_parser.get(), OnText);
    XML_SetStartDoctypeDeclHandler(m_parser.get(), OnDoctype);
    XML_SetParamEntityParsing(m_parser.get(), XML_PARAM_ENTITY_PARSING_NEVER);
}

CXmlStream::~CXmlStream() = default;

void CXmlStream::ParseChunk(const char* data, int length, bool final)
{
    const XML_Status status = XML_Parse(m_parser.get(), data, length, final);
    if (m_context->failure)
        std::rethrow_exception(m_context->failure);
    if (m_refused)
        throw CReadError("refused XML document type in " + m_what);
    if (m_context->tooDeep)
        throw CReadError("damaged XML in " + m_what + " (elements nested too deep)");
    if (status != XML_STATUS_OK && XML_GetErrorCode(m_parser.get()) == XML_ERROR_NO_MEMORY)
        OutOfMemory();
    if (status != XML_STATUS_OK)
        throw CReadError("damaged XML in " + m_what + " (line " +
                         std::to_string(XML_GetCurrentLineNumber(m_parser.get())) + ": " +
                         XML_ErrorString(XML_GetErrorCode(m_parser.get())) + ")");
}

void CXmlStream::Feed(std::string_view chunk)
{
    while (!chunk.empty()) {
        const std::size_t part = std::min<std::size_t>(chunk.size(), INT_MAX);
        ParseChunk(chunk.data(), static_cast<int>(part), false);
        chunk.remove_prefix(part);
    }
}

void CXmlStream::Finish()
{
    ParseChunk(nullptr, 0, true);
}

const char* CXmlStream::Attribute(const char** attributes, std::string_view name)
{
    for (; attributes && attributes[0]; attributes += 2) {
        if (name == attributes[0])
            return attributes[1];
    }
    return nullptr;
}

std::string_view CXmlStream::LocalName(std::string_view name)
{
    const auto bar = name.rfind('|');
    return bar == std::string_view::npos ? name : name.substr(bar + 1);
}

const char* CXmlStream::LocalAttribute(const char** attributes, std::string_view local)
{
    for (; attributes && attributes[0]; attributes += 2) {
        if (LocalName(attributes[0]) == local)
            return attributes[1];
    }
    return nullptr;
}

void CXmlStream::Parse(std::string_view xml, const std::string& what, Handler& handler)
{
    CXmlStream stream(handler, what);
    stream.Feed(xml);
    stream.Finish();
}

void CXmlStream::ParsePart(const CZipPackage& package, const std::string& part, Handler& handler)
{
    CXmlStream stream(handler, part);
    package.Stream(part, [&](std::string_view chunk) { stream.Feed(chunk); });
    stream.Finish();
}

} // namespace zrv::sheet
