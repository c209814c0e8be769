# libjpeg-turbo as scripts/setup.sh builds it from Debian's source into the cache folder, one build
# a variant (the Windows processor, or "fuzz" for the native fuzz build), imported as target jpeg.
function(lumagrove_import_jpeg variant description)
  if(DEFINED ENV{LUMAGROVE_CACHE})
    set(default $ENV{LUMAGROVE_CACHE}/libjpeg-turbo-${variant})
  else()
    set(default $ENV{HOME}/.cache/lumagrove/libjpeg-turbo-${variant})
  endif()
  set(LUMAGROVE_JPEG_PREFIX ${default} CACHE PATH "libjpeg-turbo built ${description}")
  if(NOT EXISTS ${LUMAGROVE_JPEG_PREFIX}/lib/libjpeg.a)
    message(FATAL_ERROR "libjpeg-turbo not found in ${LUMAGROVE_JPEG_PREFIX}: run scripts/setup.sh")
  endif()
  add_library(jpeg STATIC IMPORTED)
  set_target_properties(jpeg PROPERTIES
    IMPORTED_LOCATION ${LUMAGROVE_JPEG_PREFIX}/lib/libjpeg.a
    INTERFACE_INCLUDE_DIRECTORIES ${LUMAGROVE_JPEG_PREFIX}/include)
endfunction()
