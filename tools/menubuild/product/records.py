"""The records of a product: frozen dataclasses made from the declarations of its
tables (keys.py), each field a kept key or a derived field, in the table's order;
and product.json, the Product record both ways (the medium's staging and the tests
read it back without the fonts)."""

import json
import types
import typing
from dataclasses import fields, is_dataclass, make_dataclass

from menubuild.product import keys


def disc_label(volume_label, version, demo=False):
    """The disc's volume label: the release's carries the version, the demo's says so."""
    return f"{volume_label}_{'DEMO' if demo else version.replace('.', '_')}"


def _record(table, **methods):
    record = make_dataclass(table.record, table.fields, frozen=True, namespace=methods)
    record.__module__ = __name__
    return record


def record_of(table, values, **derived):
    """The record of `table` from the values its keys were read as (by key name) and its derived fields."""
    named = {key.field_name: values[key.name] for key in table.keys if key.kept}
    return globals()[table.record](**named, **derived)


def _to_json(value):
    if is_dataclass(value):
        return {field.name: _to_json(getattr(value, field.name)) for field in fields(value)}
    if isinstance(value, tuple):
        return [_to_json(item) for item in value]
    return value


def _from_json(kind, value):
    """`value` as JSON holds it, made the type `kind` again: lists into tuples, objects into records."""
    origin, args = typing.get_origin(kind), typing.get_args(kind)
    if value is None:
        return None
    if origin in (types.UnionType, typing.Union):
        return _from_json(next(arg for arg in args if arg is not type(None)), value)
    if origin is tuple:
        kinds = [args[0]] * len(value) if args[1:] == (...,) else args
        return tuple(_from_json(item_kind, item) for item_kind, item in zip(kinds, value))
    if is_dataclass(kind):
        hints = typing.get_type_hints(kind, globals())
        return kind(**{field.name: _from_json(hints[field.name], value[field.name]) for field in fields(kind)})
    return value


def _disc_label(self, demo=False):
    return disc_label(self.volume_label, self.version, demo)


def _to_product_json(self):
    facts = _to_json(self)
    facts["disc_label"], facts["demo_disc_label"] = self.disc_label(), self.disc_label(demo=True)
    return json.dumps(facts, ensure_ascii=False, indent=1) + "\n"


def _from_product_json(path):
    """The model as the configure step wrote it to product.json."""
    with open(path, encoding="utf-8") as f:
        return _from_json(Product, json.load(f))


OsCaption = _record(keys.OS_CAPTION)
Language = _record(keys.LANGUAGE)
Product = _record(keys.PRODUCT, disc_label=_disc_label, to_json=_to_product_json,
                  from_json=staticmethod(_from_product_json))
