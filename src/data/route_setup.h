// The set-up of a route once its files are read: objects placed along the line,
// the route event list, speed checks already behind the train, the Move menu
// of stations and the lengths of the environment sounds.
#pragma once

#include <cstdint>
#include <functional>
#include <string_view>
#include <vector>

#include "data/route_tables.h"

namespace cabsim {

/// Converts the frames of every placed object into positions (cm): the stored
/// positions of speed checks, stations with their stop zones, road traffic
/// signals, passing trains, tunnels and speed limits. Segments are taken in
/// order and each converts every object whose frame lies in it, so an object on
/// a frame two segments share takes the later segment's value. An object whose
/// frame lies in no segment keeps position 0. Segment distances must be computed.
void store_object_positions(RouteTables& route);

/// Builds the route event list in the order signals, speed limits, stop
/// stations (each over every segment in turn; an object on a frame two
/// segments share gives an event in each), unsorted. A stop station is one of
/// kind 0 whose field 10 is 1; its event lies 20 m beyond the stop position.
/// More than kMaxRouteEvents events raise DefinitionError with the route file
/// message, labelled with the table whose event did not fit.
void build_route_events(RouteTables& route);

/// Sorts the event list by position with adjacent exchanges made only when the
/// later event lies strictly before the earlier one, so events at one position
/// keep their order.
void sort_route_events(RouteTables& route);

/// The position a run starting at station `start_station` starts from: its
/// stop position (the empty row after the last station, and any index outside
/// the table, give 0).
int32_t start_position(const RouteTables& route, int32_t start_station);

/// Marks passed every check of speed check table 1 whose position lies behind
/// `start_position`, so that a run never judges a check it starts beyond.
void mark_passed_speed_checks(RouteTables& route, int32_t start_position);

/// The Move menu: for every station of kind 0 or 2 except the last station of
/// the table, in table order, the station's name as caption and "Sta" + its
/// index as item name.
void build_move_menu(RouteTables& route);

/// Keeps the length in whole seconds of every environment sound, as
/// `length_of` (given the `[SoundData]` file name) measures it.
void store_sound_lengths(RouteTables& route,
                         const std::function<int32_t(std::string_view file)>& length_of);

/// Clears the run-time flags of the route tables (stations, film switches,
/// sound points, time calls, switches, speed checks) and starts every road
/// traffic signal in phase 1 with its timer at its field 5 (the first phase's
/// duration).
void reset_route_run_fields(RouteTables& route);

/// Every frame-to-position step of the set-up in order: segment distances,
/// stored positions, the sorted event list and the speed checks behind the
/// start station's stop position.
void set_up_route_positions(RouteTables& route, int32_t start_station);

/// Width and height of a picture of the crossing image list.
struct ImageSize {
  int32_t width = 0;
  int32_t height = 0;
};

/// The crossing image list takes each picture's size before adding it, and a
/// list whose size changes loses the pictures it held: of pictures added with
/// `sizes` in order, the index of the first one still in the list.
int32_t first_kept_cross_image(const std::vector<ImageSize>& sizes);

}  // namespace cabsim
