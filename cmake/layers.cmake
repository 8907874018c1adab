# The layers of the source, lowest first: each folder is one library, and
# the folders after its name are all it may include from (besides its own
# folder and the system). A header named from any other folder, or a path
# that climbs out of the folder, stops the configure with the line that
# does it; so does a curses header in a library that the headless tools
# link. Run as a script (cmake -DSOURCE=DIR -P cmake/layers.cmake) it
# checks another tree, for the test that plants a wrong include.
if(CMAKE_SCRIPT_MODE_FILE)
  cmake_minimum_required(VERSION 3.16)
endif()
set(layer_common "")
set(layer_storage common)
set(layer_terrarium storage common)
set(layer_vivarium storage common)
set(layer_screen storage common)
set(layer_programs/terrarium screen terrarium storage common)
set(layer_programs/vivarium screen vivarium storage common)
# The Python module reads world files as the tools do.
set(layer_python tools terrarium vivarium storage common)
# The libraries that the headless tools link: no terminal library in them.
set(headless_layers common storage terrarium vivarium)

function(check_layer source_root folder)
  set(allowed ${folder} ${layer_${folder}})
  file(GLOB sources ${source_root}/${folder}/*.h ${source_root}/${folder}/*.cpp)
  foreach(source ${sources})
    file(RELATIVE_PATH name ${source_root} ${source})
    file(STRINGS ${source} lines REGEX "^[ \t]*#[ \t]*include")
    foreach(line ${lines})
      if(line MATCHES "\"([^\"]+)\"")
        set(header ${CMAKE_MATCH_1})
        get_filename_component(header_folder ${header} DIRECTORY)
        list(FIND allowed "${header_folder}" at)
        if(at EQUAL -1)
          string(REPLACE ";" ", " may "${allowed}")
          message(FATAL_ERROR "${name}: includes \"${header}\", outside its layer (${folder} may include ${may})")
        endif()
      elseif(line MATCHES "<((n?curses|term|panel|menu|form)\\.h)>" AND folder IN_LIST headless_layers)
        message(FATAL_ERROR "${name}: includes <${CMAKE_MATCH_1}>, but ${folder} is linked by the headless tools")
      endif()
    endforeach()
  endforeach()
endfunction()

function(check_layers source_root)
  foreach(folder common storage terrarium vivarium screen programs/terrarium programs/vivarium python)
    check_layer(${source_root} ${folder})
  endforeach()
endfunction()

if(CMAKE_SCRIPT_MODE_FILE)
  check_layers(${SOURCE})
endif()
