# Installs a build into a staging folder the way the Debian package build does, and checks that
# it puts in place exactly the program, its manual page, desktop entry and metainfo (named after
# the component id), the icon in every size of res/icons, the whole help book in every language
# and the catalogs, and that AppStream finds the metainfo's desktop entry there. The package ships this install whole:
# debian/ keeps no file list of its own, which is checked too.
#   cmake -DBUILD_DIR=<build> -DSOURCE_DIR=<source> -DSTAGE=<folder> -DAPP_ID=<id>
#         -DLANGUAGES=<de;fr;...> -P <this>
file(REMOVE_RECURSE "${STAGE}")
execute_process(
  COMMAND ${CMAKE_COMMAND} -E env DESTDIR=${STAGE}
          ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix /usr
  RESULT_VARIABLE status OUTPUT_QUIET)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "cmake --install failed: ${status}")
endif()

set(expected usr/bin/tobrin usr/share/man/man1/tobrin.1
    usr/share/applications/${APP_ID}.desktop usr/share/metainfo/${APP_ID}.metainfo.xml
    usr/share/icons/hicolor/scalable/apps/tobrin.svg)
file(GLOB sizes RELATIVE ${SOURCE_DIR}/res/icons/hicolor ${SOURCE_DIR}/res/icons/hicolor/*)
foreach(size IN LISTS sizes)
  list(APPEND expected usr/share/icons/hicolor/${size}/apps/tobrin.png)
endforeach()
# The help book in English and in each language, every page (a language lacking one gets the
# English page), and each language's catalog.
file(GLOB pages LIST_DIRECTORIES false RELATIVE ${SOURCE_DIR}/res/help ${SOURCE_DIR}/res/help/*)
foreach(language "" ${LANGUAGES})
  foreach(page IN LISTS pages)
    list(APPEND expected usr/share/tobrin/help/${language}/${page})
  endforeach()
  if(language)
    list(APPEND expected usr/share/locale/${language}/LC_MESSAGES/tobrin.mo)
  endif()
endforeach()
list(TRANSFORM expected REPLACE "//" "/")
file(GLOB_RECURSE installed RELATIVE ${STAGE} ${STAGE}/*)
list(SORT expected)
list(SORT installed)
if(NOT installed STREQUAL expected)
  set(missing ${expected})
  list(REMOVE_ITEM missing ${installed})
  set(unexpected ${installed})
  list(REMOVE_ITEM unexpected ${expected})
  message(FATAL_ERROR "install: missing [${missing}], unexpected [${unexpected}]")
endif()

execute_process(COMMAND appstreamcli validate-tree --no-net ${STAGE} RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "appstreamcli validate-tree failed on the installed files")
endif()

# The desktop entry and the metainfo speak every language.
file(READ ${STAGE}/usr/share/applications/${APP_ID}.desktop desktop)
file(READ ${STAGE}/usr/share/metainfo/${APP_ID}.metainfo.xml metainfo)
foreach(language IN LISTS LANGUAGES)
  if(NOT desktop MATCHES "\nComment\\[${language}\\]=" OR
     NOT metainfo MATCHES "<summary xml:lang=\"${language}\">")
    message(FATAL_ERROR "the desktop entry or the metainfo is not translated into ${language}")
  endif()
endforeach()

# The help book speaks of this system: how to start Tobrin from a Linux desktop, not Windows'.
file(READ ${STAGE}/usr/share/tobrin/help/index.html index)
if(NOT index MATCHES "applications menu" OR index MATCHES "Start</b> menu|<!--/?windows-->")
  message(FATAL_ERROR "the installed help book is not the one for Linux")
endif()

file(GLOB own_lists ${SOURCE_DIR}/debian/*install ${SOURCE_DIR}/debian/*.links
     ${SOURCE_DIR}/debian/*.manpages)
if(own_lists)
  message(FATAL_ERROR "debian/ lists files of its own: ${own_lists}")
endif()
