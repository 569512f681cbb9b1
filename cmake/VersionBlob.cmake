# The version resource of a program: a blob in the version-resource byte
# format, generated at build time and linked into the ELF section
# ".vorlane_version", where the version readers of support/ find it.
#
# vorlane_add_version_blob(<target> [FILE_VERSION a.b.c.d] [PRODUCT_VERSION a.b.c.d]
#                          [STRINGS Key=Value ...])
# Versions default to the project's version; the strings default to the
# product's names.

add_executable(vorlane_versionblob ${CMAKE_CURRENT_LIST_DIR}/../tools/versionblob.cpp)
target_link_libraries(vorlane_versionblob PRIVATE vorlane_support)
vorlane_warnings(vorlane_versionblob)

function(vorlane_add_version_blob target)
  cmake_parse_arguments(V "" "FILE_VERSION;PRODUCT_VERSION" "STRINGS" ${ARGN})
  if(NOT V_FILE_VERSION)
    set(V_FILE_VERSION "${PROJECT_VERSION}.0")
  endif()
  if(NOT V_PRODUCT_VERSION)
    set(V_PRODUCT_VERSION "${PROJECT_VERSION}")
  endif()
  if(NOT V_STRINGS)
    set(V_STRINGS
      "CompanyName=Vorlane"
      "FileDescription=Vorlane video converter"
      "FileVersion=${V_FILE_VERSION}"
      "InternalName=${target}"
      "LegalCopyright=Vorlane"
      "OriginalFilename=${target}"
      "ProductName=Vorlane"
      "ProductVersion=${V_PRODUCT_VERSION}")
  endif()
  set(out ${CMAKE_CURRENT_BINARY_DIR}/${target}_version_blob.cpp)
  add_custom_command(
    OUTPUT ${out}
    COMMAND vorlane_versionblob ${out} ${V_FILE_VERSION} ${V_PRODUCT_VERSION} ${V_STRINGS}
    DEPENDS vorlane_versionblob
    COMMENT "Version resource of ${target}"
    VERBATIM)
  target_sources(${target} PRIVATE ${out})
endfunction()
