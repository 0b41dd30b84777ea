#include "support/scratch_registry.h"

#include "registry/registry_file_store.h"

namespace vantrel::testing {

ScratchRegistry::ScratchRegistry()
    : m_registry(std::make_unique<registry::RegistryFileStore>(m_folder / "registry.reg")),
      m_key("SOFTWARE\\TORVELLANCE\\Vantrel") {}

ScratchRegistry::~ScratchRegistry() = default;

}  // namespace vantrel::testing
