include(GoogleTest)

# The route page is read back with libxml2 (as XML, and as HTML after a
# browser ran it) and the browser's screenshots are decoded with libpng.
find_package(LibXml2 REQUIRED)
find_package(PNG REQUIRED)
target_link_libraries(prove PRIVATE core GTest::gtest GTest::gtest_main LibXml2::LibXml2 PNG::PNG)
target_compile_definitions(prove PRIVATE
  COMPATTATORE_EXE="$<TARGET_FILE:compattatore>"
  COMPATTATORE_SORGENTI="${CMAKE_CURRENT_SOURCE_DIR}"
  COMPATTATORE_CARTELLA_PROVE="${CMAKE_BINARY_DIR}")
add_dependencies(prove compattatore)
gtest_discover_tests(prove DISCOVERY_TIMEOUT 60 PROPERTIES TIMEOUT 600)

# The Windows executable, cross-built inside this build so that the tests can
# run it under Wine and compare its files with the native ones. Beside it a
# small Windows helper that starts it as a user would, reports its windows
# and closes its message boxes. Wine keeps its prefix in the build tree: the
# first test run creates it (slow), later runs reuse it.
find_program(MINGW_CXX NAMES x86_64-w64-mingw32-g++-posix x86_64-w64-mingw32-g++)
if(COMPATTATORE_WINDOWS AND MINGW_CXX)
  include(ExternalProject)
  set(build_windows ${CMAKE_BINARY_DIR}/windows)
  ExternalProject_Add(compattatore_windows
    SOURCE_DIR ${CMAKE_CURRENT_SOURCE_DIR}
    BINARY_DIR ${build_windows}
    CMAKE_ARGS
      -DCMAKE_TOOLCHAIN_FILE=${CMAKE_CURRENT_SOURCE_DIR}/cmake/mingw-w64.cmake
      -DCMAKE_BUILD_TYPE=Release
      -DCOMPATTATORE_PROVE=OFF
      -DCOMPATTATORE_WERROR=${COMPATTATORE_WERROR}
    INSTALL_COMMAND ""
    BUILD_ALWAYS ON)

  set(sorvegliante ${build_windows}/sorvegliante.exe)
  set(sorvegliante_src ${CMAKE_CURRENT_SOURCE_DIR}/tests/sorvegliante_win32.cpp)
  set(sorvegliante_opzioni -std=c++20 -O2 -Wall -Wextra -Wpedantic -Wshadow)
  if(COMPATTATORE_WERROR)
    list(APPEND sorvegliante_opzioni -Werror)
  endif()
  add_custom_command(OUTPUT ${sorvegliante}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${build_windows}
    COMMAND ${MINGW_CXX} ${sorvegliante_opzioni} -municode -static ${sorvegliante_src}
            -o ${sorvegliante}
    DEPENDS ${sorvegliante_src}
    COMMENT "Cross-building the Windows test helper sorvegliante.exe"
    VERBATIM)
  add_custom_target(sorvegliante_windows DEPENDS ${sorvegliante})

  add_dependencies(prove compattatore_windows sorvegliante_windows)
  target_compile_definitions(prove PRIVATE
    COMPATTATORE_EXE_WINDOWS="${build_windows}/compattatore.exe"
    COMPATTATORE_SORVEGLIANTE_WINDOWS="${sorvegliante}"
    COMPATTATORE_WINEPREFIX="${CMAKE_BINARY_DIR}/wineprefix")
endif()
