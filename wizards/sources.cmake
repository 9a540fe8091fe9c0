# Each wizard keeps its own wizards/<name>/sources.cmake, calling
# vq_sources(wizards/<name> CORE ... GUI ...).
file(GLOB _vq_wizard_lists ${CMAKE_SOURCE_DIR}/wizards/*/sources.cmake)
foreach(_l ${_vq_wizard_lists})
  include(${_l})
endforeach()
vq_sources(wizards GUI WizardsModule.cpp)
