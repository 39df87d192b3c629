"""A product: its description read into one typed model and checked (model),
and what the build makes the menu from written out (configure)."""
