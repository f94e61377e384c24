// Read by Leaflet as it loads, so load this first: map, lines and marker are
// placed with plain offsets rather than 3D transforms. Layers moved by 3D
// transforms are composed with filtering, which on a software-drawn view
// costs the most of every move of the car.
window.L_DISABLE_3D = true;
