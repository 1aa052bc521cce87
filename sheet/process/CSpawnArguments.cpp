#include "sheet/process/CSpawnArguments.h"

namespace zrv::sheet {

CSpawnArguments::CSpawnArguments(const std::string& program,
                                 const std::vector<std::string>& arguments)
    : m_texts{program}
{
    m_texts.insert(m_texts.end(), arguments.begin(), arguments.end());
    for (std::string& text : m_texts)
        m_pointers.push_back(text.data());
    m_pointers.push_back(nullptr);
}

} // namespace zrv::sheet
