// A compact text description of a simulator tree, read by make_scenery.
//
// One statement per line; '#' starts a comment. Paths use '/' and are
// relative to the root folder, spelled in the case they are to have. A
// path that holds spaces is written in double quotes, except where it ends
// the line (dir, facility, and the target of link).
//
//   dir <path>                        an empty folder
//   file <path> <size> [seed]         a file of pseudo-random bytes
//   link <path> <target>              a symbolic link (POSIX)
//   hostile <folder>                  damaged facility files of every kind,
//                                     an empty one, a folder named *.bgl
//   facility <path>                   starts a facility file; the lines
//                                     below, up to the next file, fill it:
//     airport <ident> <lat> <lon> <elev>        identifier, then position
//     airport-position-first <ident> <lat> <lon> <elev>
//     ident-only <ident>              an airport record without position
//     position-only <lat> <lon> <elev>   ... without identifier
//     record <type> <payload-bytes>   a record of another type
//     loop-record                     a record whose length leads back to it
//     loop-subrecord <ident>          an airport record whose first
//                                     sub-record's length leads back to it
//     header <field> <value>          format|signature|marker|required|first
//     no-end                          leave out the record that ends the chain
//     truncate <bytes>                cut the file after that many bytes
//
// Latitudes and longitudes are degrees (negative south and west),
// elevations metres; numbers may be written in hex with 0x.
#pragma once

#include <string>

namespace scenery {

// Lays out the tree that `description` describes under `root`. Throws
// std::runtime_error naming the line of a statement it cannot read.
void build_from_description(const std::string& description, const std::string& root);

}  // namespace scenery
