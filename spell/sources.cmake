vq_sources(spell
  CORE
    SpellScanner.cpp
  GUI
    TAddictSpell.cpp SpellModule.cpp
)
